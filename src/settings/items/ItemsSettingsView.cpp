#include "settings/items/ItemsSettingsView.h"

#include "settings/items/ItemDetailPane.h"
#include "settings/items/ItemList.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSheetPresenter.h"
#include "settings/items/NewItemKinds.h"
#include "settings/items/RingHeader.h"
#include "settings/items/RingOperations.h"
#include "settings/items/SlotOperations.h"
#include "settings/kit/MenuLooks.h"
#include "settings/kit/SettingsContext.h"
#include "store/ConfigStore.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace vima {

namespace {

QToolButton *symbolButton(const QString &symbol, const QString &help)
{
    auto *button = new QToolButton;
    button->setAutoRaise(true);
    setSymbolIcon(button, symbol, Tone::label, 13);
    button->setToolTip(help);
    button->setAccessibleName(help);
    button->setFixedWidth(28);
    return button;
}

} // namespace

ItemsSettingsView::ItemsSettingsView(SettingsContext &context, ItemsSheetFactory sheets, QWidget *parent)
    : QWidget(parent)
    , context_(context)
    , model_(new ItemsSettingsModel(context.store, context.catalog, this))
    , rings_(new RingOperations(*model_, context.prompts, this))
    , slots_(new SlotOperations(*model_, context.prompts, this))
    , sheets_(new ItemsSheetPresenter(*model_, context, std::move(sheets), this))
{
    setObjectName(QStringLiteral("itemsPage"));
    model_->promptParent = this;
    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(buildLeftColumn());
    detail_ = new ItemDetailPane(*model_, *slots_, context);
    detail_->setMinimumWidth(420);
    splitter_->addWidget(detail_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({300, 600});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);

    connect(&context.store, &ConfigStore::configChanged, this, &ItemsSettingsView::refresh);
    connect(model_, &ItemsSettingsModel::selectionChanged, this, &ItemsSettingsView::refresh);
    refresh();
}

ItemsSettingsView::~ItemsSettingsView() = default;

QWidget *ItemsSettingsView::buildLeftColumn()
{
    auto *left = new QWidget;
    left->setMinimumWidth(280);
    left->setMaximumWidth(380);
    auto *column = new QVBoxLayout(left);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    header_ = new RingHeader(*model_, *rings_, context_);
    connect(header_, &RingHeader::addEmptyPackRequested, slots_, [this] { slots_->addEmptyPack(); });
    list_ = new ItemList(*model_, context_);
    column->addWidget(header_);
    column->addWidget(dividerLine());
    column->addWidget(list_, 1);
    column->addWidget(dividerLine());
    column->addWidget(buildFooter());
    return left;
}

QWidget *ItemsSettingsView::buildFooter()
{
    auto *footer = new QWidget;
    auto *row = new QHBoxLayout(footer);
    row->setContentsMargins(10, 6, 10, 6);
    row->setSpacing(6);
    QToolButton *add = symbolButton(QStringLiteral("plus"), tr("Add an item"));
    addMenu_ = new QMenu(add);
    connect(addMenu_, &QMenu::aboutToShow, this, &ItemsSettingsView::fillAddMenu);
    add->setMenu(addMenu_);
    add->setPopupMode(QToolButton::InstantPopup);
    add->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    removeButton_ = symbolButton(QStringLiteral("minus"), tr("Remove the selected item"));
    connect(removeButton_, &QToolButton::clicked, slots_, [this] { slots_->removeSelectedItem(); });
    slotCount_ = new ToneLabel(Tone::secondary);
    slotCount_->setFont(captionFont());
    row->addWidget(add);
    row->addWidget(removeButton_);
    row->addStretch(1);
    row->addWidget(slotCount_);
    return footer;
}

void ItemsSettingsView::fillAddMenu()
{
    using ActiveSheet = ItemsSettingsModel::ActiveSheet;
    addMenu_->clear();
    addMenu_->addAction(tr("Browse Library…"), model_, [this] { model_->requestSheet({ActiveSheet::Kind::library}); });
    addMenu_->addSeparator();
    for (const ItemAction::Kind kind : newItemKinds())
        addMenu_->addAction(SlotOperations::menuLabel(kind), slots_, [this, kind] { slots_->addNewAction(kind); });
    if (const QList<SavedGroup> packs = context_.store.config().savedGroups; !packs.isEmpty()) {
        addMenu_->addSeparator();
        QMenu *insert = addMenu_->addMenu(tr("Insert Saved Pack"));
        for (const SavedGroup &pack : packs) {
            QAction *action = insert->addAction(specIcon(pack.icon, 11, &context_.appIcons),
                                                menuText(ItemsSettingsModel::displayName(pack.name)));
            connect(action, &QAction::triggered, slots_, [this, pack] { slots_->insertSavedPack(pack); });
        }
    }
    addMenu_->addSeparator();
    addMenu_->addAction(tr("Add All Built-in AI Actions"), slots_, [this] { slots_->addAllBuiltInAIActions(); });
}

void ItemsSettingsView::refresh()
{
    header_->refresh();
    list_->refresh();
    removeButton_->setEnabled(model_->selectedItemID().has_value());
    slotCount_->setText(model_->slotCountText());
    detail_->refresh();
}

void ItemsSettingsView::showEvent(QShowEvent *event)
{
    model_->seedSelection();
    QWidget::showEvent(event);
}

} // namespace vima
