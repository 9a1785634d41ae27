#include "settings/packs/PackBuilderView.h"

#include "settings/kit/IconTile.h"
#include "settings/kit/MenuLooks.h"
#include "settings/kit/RingPreviewView.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/kit/SlotNumber.h"
#include "settings/packs/PackAddPanel.h"
#include "settings/packs/PackItemRow.h"
#include "store/ConfigStore.h"
#include "ui/FollowPalette.h"
#include "ui/Palette.h"
#include "ui/PopupPlacement.h"
#include "ui/SymbolCatalog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace vima {

namespace {

QIcon knownSymbolIcon(const QString &name)
{
    return symbolIcon(SymbolCatalog::knows(name) ? name : QStringLiteral("circle"));
}

QFont serif(const QFont &base, double scale)
{
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * scale);
    font.setWeight(QFont::DemiBold);
    font.setStyleHint(QFont::Serif);
    font.setFamilies({QStringLiteral("serif")});
    return font;
}

} // namespace

PackBuilderView::PackBuilderView(SettingsContext &context, PackBuilderModel::Opening opening, AppScan scan,
                                 QWidget *parent)
    : QDialog(parent)
    , context_(context)
    , model_(new PackBuilderModel(context.store, context.beep, std::move(opening), std::move(scan), this))
{
    setWindowTitle(QStringLiteral("Build an action pack"));
    setFixedSize(720, 500);
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeBreadcrumb());
    layout->addWidget(dividerLine());
    auto *body = new QHBoxLayout;
    body->setContentsMargins(20, 20, 20, 20);
    body->setSpacing(24);
    body->addWidget(makeLeftColumn(), 0, Qt::AlignTop);
    body->addWidget(makeRightColumn(), 1);
    layout->addLayout(body, 1);

    panel_ = new PackAddPanel(context, *model_, this);
    connect(model_, &PackBuilderModel::itemsChanged, this, &PackBuilderView::rebuildRows);
    connect(model_, &PackBuilderModel::changed, this, &PackBuilderView::refresh);
    connect(model_, &PackBuilderModel::addPanelChanged, this, &PackBuilderView::showPanel);
    rebuildRows();
}

QWidget *PackBuilderView::makeBreadcrumb()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(20, 13, 20, 13);
    layout->setSpacing(6);
    const PackBuilderModel::Opening &opening = model_->opening();
    layout->addWidget(new ToneLabel(Tone::tertiary, opening.parentName.isEmpty() ? QStringLiteral("Ring") : opening.parentName));
    layout->addWidget(new SymbolIcon(QStringLiteral("chevron.right"), Tone::tertiary, 9));
    layout->addWidget(new ToneLabel(Tone::tertiary, QStringLiteral("Slot %1").arg(slotNumber(opening.slot))));
    layout->addWidget(new SymbolIcon(QStringLiteral("chevron.right"), Tone::tertiary, 9));
    crumbName_ = new ToneLabel(Tone::label);
    layout->addWidget(crumbName_);
    layout->addStretch();
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setFlat(true);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(cancel);
    return row;
}

QWidget *PackBuilderView::makeLeftColumn()
{
    auto *column = new QWidget;
    column->setFixedWidth(300);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    auto *nameRow = new QHBoxLayout;
    nameRow->setSpacing(12);
    iconMenu_ = new QToolButton;
    iconMenu_->setObjectName(QStringLiteral("packIconMenu"));
    iconMenu_->setAccessibleName(QStringLiteral("Icon"));
    iconMenu_->setFixedSize(44, 44);
    iconMenu_->setIconSize(QSize(22, 22));
    iconMenu_->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(iconMenu_);
    addSymbolEntries(menu, PackBuilderModel::iconChoices(),
                     [this](const QString &symbol) { model_->setIcon(IconSpec::symbol(symbol)); });
    iconMenu_->setMenu(menu);
    followPalette(iconMenu_, [this] { iconMenu_->setIcon(knownSymbolIcon(model_->icon().value)); });
    nameRow->addWidget(iconMenu_);
    name_ = new QLineEdit(model_->name());
    name_->setObjectName(QStringLiteral("packName"));
    name_->setPlaceholderText(QStringLiteral("Name the pack"));
    name_->setAccessibleName(QStringLiteral("Name the pack"));
    name_->setFont(serif(name_->font(), 1.55));
    connect(name_, &QLineEdit::textChanged, model_, &PackBuilderModel::setName);
    nameRow->addWidget(name_, 1);
    layout->addLayout(nameRow);
    preview_ = new RingPreviewView(context_);
    preview_->setFixedSize(280, 260);
    preview_->onSlotTapped = [this](int slot) { model_->previewClicked(slot); };
    layout->addWidget(preview_, 0, Qt::AlignHCenter);
    auto *caption = new ToneLabel(Tone::tertiary, QStringLiteral("Live preview of the pack"));
    caption->setFont(captionFont());
    layout->addWidget(caption, 0, Qt::AlignHCenter);
    return column;
}

QWidget *PackBuilderView::makeRightColumn()
{
    auto *column = new QWidget;
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *header = new QHBoxLayout;
    header->setSpacing(11);
    headerIcon_ = new IconTile({.side = 34, .radius = 9, .iconSize = 20, .fill = [] { return Palette::controlBackground(); },
                                .bordered = false, .ink = Tone::label},
                               &context_.appIcons);
    headerIcon_->setFixedSize(34, 34);
    header->addWidget(headerIcon_);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    headerName_ = new ToneLabel(Tone::label);
    headerName_->setFont(serif(headerName_->font(), 1.2));
    texts->addWidget(headerName_);
    summary_ = new ToneLabel(Tone::secondary);
    summary_->setFont(captionFont());
    texts->addWidget(summary_);
    header->addLayout(texts, 1);
    layout->addLayout(header);
    layout->addSpacing(14);

    auto *list = new QWidget;
    rows_ = new QVBoxLayout(list);
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(0);
    QScrollArea *scroll = scrollingArea(list);
    scroll->setObjectName(QStringLiteral("packRows"));
    layout->addWidget(scroll, 1);
    emptyRows_ = new ToneLabel(Tone::tertiary, QStringLiteral("No actions yet — add your first below."));
    emptyRows_->setContentsMargins(0, 18, 0, 18);
    layout->addWidget(emptyRows_);

    layout->addSpacing(12);
    addAction_ = new QPushButton(QStringLiteral("Add action"));
    setSymbolIcon(addAction_, QStringLiteral("plus"));
    addAction_->setObjectName(QStringLiteral("packAddAction"));
    addAction_->setAutoDefault(false);
    addAction_->setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding: 11px 14px; border: 1px dashed palette(mid); border-radius: 10px; }"));
    connect(addAction_, &QPushButton::clicked, model_, &PackBuilderModel::openAddPanel);
    layout->addWidget(addAction_);

    layout->addSpacing(24);
    auto *slotRow = new QHBoxLayout;
    auto *slotLabel = new ToneLabel(Tone::secondary, QStringLiteral("Slots in this pack"));
    slotRow->addWidget(slotLabel, 1);
    slots_ = new QSpinBox;
    slots_->setObjectName(QStringLiteral("packSlots"));
    slots_->setMaximum(PackBuilderModel::maxChildSlots);
    connect(slots_, &QSpinBox::valueChanged, model_, &PackBuilderModel::setChildSlots);
    pairLabel(slotLabel, slots_);
    slotRow->addWidget(slots_);
    layout->addLayout(slotRow);
    layout->addWidget(dividerLine());
    warning_ = new StatusLine(Tone::warning, QStringLiteral("exclamationmark.triangle.fill"), QString());
    warning_->setContentsMargins(0, 10, 0, 0);
    layout->addWidget(warning_);

    layout->addSpacing(12);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    save_ = new QPushButton;
    save_->setObjectName(QStringLiteral("packSave"));
    save_->setAutoDefault(false);
    connect(save_, &QPushButton::clicked, model_, &PackBuilderModel::saveAsGroup);
    buttons->addWidget(save_);
    buttons->addStretch();
    done_ = inkButton(QStringLiteral("Done"));
    done_->setDefault(true);
    connect(done_, &QPushButton::clicked, this, [this] {
        if (model_->canCommit() && model_->commit())
            accept();
    });
    buttons->addWidget(done_);
    layout->addLayout(buttons);
    return column;
}

void PackBuilderView::rebuildRows()
{
    while (QLayoutItem *item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    rowWidgets_.clear();
    for (const RingItem &item : model_->items()) {
        auto *row = new PackItemRow(context_, *model_, item);
        rowWidgets_.append(row);
        rows_->addWidget(row);
        rows_->addWidget(dividerLine());
    }
    rows_->addStretch();
    refresh();
    if (panel_ && panel_->isVisible())
        panel_->refresh(); // its rows go disabled once the pack is full
}

void PackBuilderView::refresh()
{
    const QString shown = model_->displayName();
    crumbName_->setText(shown);
    headerName_->setText(shown);
    headerIcon_->setIcon(model_->icon());
    iconMenu_->setIcon(knownSymbolIcon(model_->icon().value));
    summary_->setText(model_->summaryText());
    for (PackItemRow *row : rowWidgets_) {
        const auto &items = model_->items();
        const auto found = std::find_if(items.cbegin(), items.cend(), [&](const RingItem &i) { return i.id == row->itemID(); });
        if (found != items.cend())
            row->refresh(*found);
    }
    emptyRows_->setVisible(model_->items().isEmpty());
    addAction_->setEnabled(!model_->isFull());
    {
        const QSignalBlocker blocker(slots_);
        slots_->setMinimum(model_->minimumChildSlots());
        slots_->setValue(model_->childSlots());
    }
    warning_->setText(model_->warningText());
    warning_->setVisible(!model_->warningText().isEmpty());
    save_->setText(model_->saveButtonTitle());
    save_->setEnabled(model_->canCommit());
    done_->setEnabled(model_->canCommit());
    preview_->setRing(model_->previewRing(), model_->childSlots(), context_.store.config().appearance);
}

void PackBuilderView::showPanel()
{
    if (!model_->showAdd()) {
        panel_->hide();
        return;
    }
    panel_->refresh();
    placePopup(panel_, this, rect(), PopupSide::trailing);
    panel_->show();
}

void PackBuilderView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vima
