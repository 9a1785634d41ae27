#include "settings/items/ItemEditorView.h"

#include "platform/UiPrompts.h"
#include "settings/items/ItemEditorModel.h"
#include "settings/items/ItemKindSection.h"
#include "settings/kit/ElidedLabel.h"
#include "settings/kit/FieldText.h"
#include "settings/kit/IconTile.h"
#include "settings/kit/MenuLooks.h"
#include "settings/kit/SegmentedControl.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"
#include "ui/Palette.h"
#include "ui/SymbolCatalog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vima {

ItemEditorView::ItemEditorView(SettingsContext &context, QWidget *parent)
    : QWidget(parent), context_(context), model_(new ItemEditorModel(context.catalog, context.scheduler, this))
{
    model_->onAssignSlot = [this](qint64 slot) {
        if (onAssignSlot)
            onAssignSlot(slot);
    };
    model_->onEditSubRing = [this](const QUuid &id) {
        if (onEditSubRing)
            onEditSubRing(id);
    };
    model_->onSaveAsTemplate = [this](const QUuid &id, const IconSpec &icon) {
        if (onSaveAsTemplate)
            onSaveAsTemplate(id, icon);
    };
    model_->onTurnIntoSubRing = [this] {
        if (onTurnIntoSubRing)
            onTurnIntoSubRing();
    };
    model_->chooseApplication = [this] { return context_.prompts.chooseApplication(window()); };

    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setSpacing(14);
    column->addWidget(buildHeader());
    column->addWidget(buildItemSection());
    auto *does = new SettingsSection(QStringLiteral("Does"));
    kind_ = new QComboBox;
    connect(kind_, &QComboBox::currentIndexChanged, model_, [this](int index) {
        if (index >= 0)
            model_->changeKind(model_->offeredKinds().at(index));
    });
    does->addRow(QStringLiteral("When picked"), kind_);
    column->addWidget(does);
    kindHolder_ = new QVBoxLayout;
    kindHolder_->setContentsMargins(0, 0, 0, 0);
    column->addLayout(kindHolder_);
    column->addStretch(1);

    setScrollingPage(this, content);

    connect(model_, &ItemEditorModel::itemEdited, this, &ItemEditorView::itemEdited);
    connect(model_, &ItemEditorModel::sectionChanged, this, &ItemEditorView::rebuildKindFields);
    connect(model_, &ItemEditorModel::changed, this, &ItemEditorView::refresh);
    rebuildKindFields();
    refresh();
}

ItemEditorView::~ItemEditorView() = default;

void ItemEditorView::setItem(const RingItem &item)
{
    model_->setItem(item);
}

const RingItem &ItemEditorView::item() const
{
    return model_->item();
}

void ItemEditorView::setSlotCount(qint64 count)
{
    model_->setSlotCount(count);
}

void ItemEditorView::setDefaultLanguage(const QString &language)
{
    model_->setDefaultLanguage(language);
}

void ItemEditorView::setSubRings(const QList<Ring> &subRings)
{
    model_->setSubRings(subRings);
}

QWidget *ItemEditorView::buildHeader()
{
    auto *header = new QWidget;
    QHBoxLayout *row = rowLayout(12);
    header->setLayout(row);
    row->setContentsMargins(0, 4, 0, 4);
    headerTile_ = new IconTile({.side = 44, .radius = 10, .iconSize = 24,
                                .fill = [] { return Palette::selectedContentBackground(); },
                                .bordered = false, .ink = Tone::label},
                               &context_.appIcons);
    headerTitle_ = new ElidedLabel(Tone::label, Qt::ElideRight);
    headerTitle_->setFont(pointFont(20, QFont::DemiBold, true));
    headerKind_ = new ToneLabel(Tone::secondary);
    headerKind_->setFont(pointFont(11));
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(headerTitle_);
    texts->addWidget(headerKind_);
    row->addWidget(headerTile_);
    row->addLayout(texts, 1);
    return header;
}

QWidget *ItemEditorView::buildItemSection()
{
    auto *section = new SettingsSection(QStringLiteral("Item"));
    title_ = new QLineEdit;
    connect(title_, &QLineEdit::textChanged, model_, &ItemEditorModel::setTitle);
    section->addRow(QStringLiteral("Title"), title_);
    slot_ = new QComboBox;
    connect(slot_, &QComboBox::currentIndexChanged, model_, [this](int index) { model_->assignSlot(index); });
    section->addRow(QStringLiteral("Slot"), slot_);
    QWidget *iconEditor = buildIconEditor();
    section->addRow(QStringLiteral("Icon"), iconEditor, iconKind_);
    section->addWidget(iconFields_);
    return section;
}

QWidget *ItemEditorView::buildIconEditor()
{
    iconKind_ = new SegmentedControl({QStringLiteral("Symbol"), QStringLiteral("Emoji"), QStringLiteral("App")});
    iconKind_->setFixedWidth(210);
    connect(iconKind_, &SegmentedControl::currentIndexChanged, model_,
            [this](int index) { model_->pickIconKind(static_cast<IconSpec::Kind>(index)); });
    previewTile_ = new IconTile({.side = 34, .radius = 7, .iconSize = 18, .fill = [] { return Palette::controlBackground(); },
                                 .bordered = true, .ink = Tone::secondary},
                                &context_.appIcons);

    symbolName_ = new QLineEdit;
    symbolName_->setAccessibleName(QStringLiteral("Symbol name"));
    symbolName_->setPlaceholderText(QStringLiteral("Symbol name"));
    symbolName_->setMaximumWidth(260);
    connect(symbolName_, &QLineEdit::textChanged, model_, &ItemEditorModel::setSymbolName);
    auto *common = new QToolButton;
    common->setAutoRaise(true);
    common->setFixedWidth(30);
    setSymbolIcon(common, QStringLiteral("square.grid.2x2"));
    common->setToolTip(QStringLiteral("Common symbols"));
    common->setAccessibleName(QStringLiteral("Common symbols"));
    common->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(common);
    addSymbolEntries(menu, ItemEditorModel::commonSymbols(), [this](const QString &name) { model_->setSymbolName(name); });
    common->setMenu(menu);
    unknownSymbol_ = new ToneLabel(Tone::warning, QStringLiteral("Not a known symbol"));
    unknownSymbol_->setFont(captionFont());

    emoji_ = new QLineEdit;
    emoji_->setAccessibleName(QStringLiteral("Emoji"));
    emoji_->setPlaceholderText(QStringLiteral("Emoji"));
    emoji_->setMaximumWidth(90);
    connect(emoji_, &QLineEdit::textChanged, model_, &ItemEditorModel::setEmoji);

    bundleID_ = new QLineEdit;
    bundleID_->setAccessibleName(QStringLiteral("Desktop identifier"));
    bundleID_->setPlaceholderText(QStringLiteral("Desktop identifier"));
    bundleID_->setMaximumWidth(260);
    connect(bundleID_, &QLineEdit::textChanged, model_, &ItemEditorModel::setIconBundleID);
    auto *choose = new QPushButton(QStringLiteral("Choose App…"));
    connect(choose, &QPushButton::clicked, model_, [this] { model_->chooseIconApp(); });

    iconFields_ = new QStackedWidget;
    for (const QList<QWidget *> &page : QList<QList<QWidget *>>{{symbolName_, common, unknownSymbol_},
                                                               {emoji_},
                                                               {bundleID_, choose}}) {
        auto *line = new QWidget;
        QHBoxLayout *row = rowLayout(8);
        line->setLayout(row);
        for (QWidget *widget : page)
            row->addWidget(widget);
        row->addStretch(1);
        iconFields_->addWidget(line);
    }

    auto *editor = new QWidget;
    QHBoxLayout *row = rowLayout(10);
    editor->setLayout(row);
    row->addWidget(iconKind_);
    row->addWidget(previewTile_);
    row->addStretch(1);
    return editor;
}

void ItemEditorView::rebuildKindFields()
{
    while (QLayoutItem *old = kindHolder_->takeAt(0)) {
        delete old->widget();
        delete old;
    }
    auto *section = new SettingsSection(ItemEditorModel::kindLabel(model_->kind()));
    kindFields_ = new ItemKindSection(*model_, static_cast<bool>(onTurnIntoSubRing));
    section->addWidget(kindFields_);
    kindHolder_->addWidget(section);
}

void ItemEditorView::refresh()
{
    const RingItem &item = model_->item();
    headerTile_->setIcon(item.icon);
    headerTitle_->setFullText(model_->headerTitle());
    headerKind_->setText(ItemEditorModel::kindLabel(model_->kind()));
    showText(title_, item.title);

    const QStringList labels = model_->slotLabels();
    showOptions(slot_, labels);
    showIndex(slot_, item.slot >= 0 && item.slot < labels.size() ? static_cast<int>(item.slot) : -1);
    const QList<ItemAction::Kind> kinds = model_->offeredKinds();
    QStringList kindLabels;
    for (const ItemAction::Kind kind : kinds)
        kindLabels << ItemEditorModel::kindLabel(kind);
    showOptions(kind_, kindLabels);
    showIndex(kind_, static_cast<int>(kinds.indexOf(model_->kind())));
    refreshIcon();
    kindFields_->refresh();
}

void ItemEditorView::refreshIcon()
{
    const IconSpec &icon = model_->item().icon;
    iconKind_->setCurrentIndex(static_cast<int>(icon.kind));
    previewTile_->setIcon(icon);
    iconFields_->setCurrentIndex(static_cast<int>(icon.kind));
    switch (icon.kind) {
    case IconSpec::Kind::symbol:
        showText(symbolName_, icon.value);
        unknownSymbol_->setVisible(model_->showsUnknownSymbol());
        break;
    case IconSpec::Kind::emoji:
        showText(emoji_, icon.value);
        break;
    case IconSpec::Kind::appIcon:
        showText(bundleID_, icon.value);
        break;
    }
}

} // namespace vima
