#include "settings/items/RingHeader.h"

#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/RingOperations.h"
#include "settings/kit/ElidedLabel.h"
#include "settings/kit/IconTile.h"
#include "settings/kit/MenuLooks.h"
#include "settings/kit/SettingsContext.h"
#include "store/ConfigStore.h"
#include "ui/PlainText.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace vima {

namespace {

// The ring picker: as wide as its name and chevron want, narrower (the name
// elided) when the row has less room, so the ring menu stays in reach.
class PickerButton final : public QToolButton {
public:
    QSize sizeHint() const override { return layout()->sizeHint(); }
    QSize minimumSizeHint() const override { return layout()->minimumSize(); }
};

void setUpMenuButton(QToolButton *button, QMenu *menu)
{
    button->setAutoRaise(true);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    button->setMenu(menu);
}

} // namespace

RingHeader::RingHeader(ItemsSettingsModel &model, RingOperations &rings, SettingsContext &context, QWidget *parent)
    : QWidget(parent)
    , model_(model)
    , rings_(rings)
    , context_(context)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildRow());
    appDivider_ = dividerLine();
    column->addWidget(appDivider_);
    column->addWidget(buildAppBlock());
    refresh();
}

QWidget *RingHeader::buildRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(8);

    pickerMenu_ = new QMenu(this);
    connect(pickerMenu_, &QMenu::aboutToShow, this, &RingHeader::fillPicker);
    scrollWhenLong(pickerMenu_, pickerMenuHeight);
    picker_ = new PickerButton;
    setUpMenuButton(picker_, pickerMenu_);
    auto *label = new QHBoxLayout(picker_);
    label->setContentsMargins(4, 2, 4, 2);
    label->setSpacing(6);
    pickerName_ = new ElidedLabel(Tone::label, Qt::ElideRight);
    pickerName_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred); // its full width when there is room
    pickerName_->setFont(pointFont(14, QFont::DemiBold));
    label->addWidget(pickerName_);
    label->addWidget(new SymbolIcon(QStringLiteral("chevron.down"), Tone::tertiary, 10));
    for (QWidget *child : picker_->findChildren<QWidget *>())
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
    picker_->setAccessibleDescription(tr("Choose the ring to edit"));

    ringMenu_ = new QMenu(this);
    connect(ringMenu_, &QMenu::aboutToShow, this, &RingHeader::fillRingMenu);
    menuButton_ = new QToolButton;
    setUpMenuButton(menuButton_, ringMenu_);
    setSymbolIcon(menuButton_, QStringLiteral("ellipsis"), Tone::secondary, 15);
    menuButton_->setFixedSize(26, 26);
    menuButton_->setAccessibleName(tr("Ring actions"));
    menuButton_->setToolTip(tr("Ring actions"));

    layout->addWidget(picker_, 1, Qt::AlignLeft);
    layout->addWidget(menuButton_);
    return row;
}

QWidget *RingHeader::buildAppBlock()
{
    appBlock_ = new QWidget;
    auto *column = new QVBoxLayout(appBlock_);
    column->setContentsMargins(10, 8, 10, 8);
    column->setSpacing(6);
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    appIcon_ = new IconTile({.side = 22, .radius = 0, .iconSize = 16, .fill = [] { return QColor(Qt::transparent); },
                             .bordered = false, .ink = Tone::label},
                            &context_.appIcons);
    appName_ = new ToneLabel(Tone::label);
    appName_->setFont(pointFont(11, QFont::Medium));
    bundleID_ = new ElidedLabel(Tone::secondary);
    bundleID_->setFont(monoFont(10));
    bundleID_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->addWidget(appName_);
    texts->addWidget(bundleID_);
    row->addWidget(appIcon_);
    row->addLayout(texts, 1);
    column->addLayout(row);
    appCaption_ = caption(QString());
    column->addWidget(appCaption_);
    return appBlock_;
}

void RingHeader::refresh()
{
    const QString name = ItemsSettingsModel::displayName(model_.editedRing().name);
    pickerName_->setFullText(name);
    picker_->updateGeometry();
    picker_->setAccessibleName(name);
    refreshAppBlock();
}

void RingHeader::refreshAppBlock()
{
    const auto info = rings_.appRingInfo();
    appDivider_->setVisible(info.has_value());
    appBlock_->setVisible(info.has_value());
    if (!info)
        return;
    appIcon_->setIcon(IconSpec::appIcon(info->bundleID));
    appName_->setText(info->appName.value_or(tr("App not installed")));
    appName_->setTone(info->appName ? Tone::label : Tone::warning);
    bundleID_->setFullText(info->bundleID);
    appCaption_->setText(info->caption);
}

void RingHeader::fillPicker()
{
    pickerMenu_->clear();
    for (const RingOperations::PickerSection &section : rings_.pickerSections()) {
        pickerMenu_->addSection(section.title);
        for (const RingOperations::PickerEntry &entry : section.entries) {
            QAction *action = pickerMenu_->addAction(menuText(entry.label));
            if (entry.appBundleID)
                action->setIcon(specIcon(IconSpec::appIcon(*entry.appBundleID), 11, &context_.appIcons));
            else if (entry.checked)
                action->setIcon(symbolIcon(QStringLiteral("checkmark")));
            const QUuid ringID = entry.ringID;
            connect(action, &QAction::triggered, this, [this, ringID] { model_.selectRing(ringID); });
        }
    }
}

void RingHeader::fillRingMenu()
{
    ringMenu_->clear();
    const RingOperations::Menu menu = rings_.menu();
    const auto add = [this](const QString &text, auto slot) {
        QAction *action = ringMenu_->addAction(text);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(tr("Add Page"), [this] { rings_.addPage(); });
    add(tr("Add App Ring…"), [this] { rings_.addAppRing(); });
    if (menu.addEmptyPack)
        add(tr("Add an Empty Pack"), [this] { Q_EMIT addEmptyPackRequested(); });
    if (menu.pageEntries) {
        ringMenu_->addSeparator();
        add(tr("Rename…"), [this] { rings_.renameRing(); });
        add(tr("Move Up"), [this] { rings_.moveRing(-1); })->setEnabled(menu.canMoveUp);
        add(tr("Move Down"), [this] { rings_.moveRing(+1); })->setEnabled(menu.canMoveDown);
    }
    if (menu.deletePage) {
        ringMenu_->addSeparator();
        add(tr("Delete Page"), [this] { rings_.deleteRing(); });
    }
    if (menu.ringEntries) {
        ringMenu_->addSeparator();
        add(tr("Rename…"), [this] { rings_.renameRing(); });
        ringMenu_->addSeparator();
        add(tr("Delete Ring"), [this] { rings_.deleteRing(); });
    }
    ringMenu_->addSeparator();
    fillSlotsMenu(ringMenu_->addMenu(tr("Slots")));
    if (menu.manageSavedPacks) {
        ringMenu_->addSeparator();
        add(tr("Manage Saved Packs…"), [this] {
            model_.requestSheet({ItemsSettingsModel::ActiveSheet::Kind::templates});
        });
    }
}

void RingHeader::fillSlotsMenu(QMenu *menu)
{
    const QList<RingOperations::SlotEntry> entries = rings_.slotEntries();
    menu->setToolTipsVisible(true);
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const RingOperations::SlotEntry &entry = entries.at(index);
        QAction *action = menu->addAction(entry.label);
        if (entry.checked)
            action->setIcon(symbolIcon(QStringLiteral("checkmark")));
        action->setEnabled(!entry.refusal);
        if (entry.refusal) {
            action->setToolTip(plainToolTip(*entry.refusal));
            action->setStatusTip(*entry.refusal);
        }
        const std::optional<qint64> count = entry.count;
        connect(action, &QAction::triggered, this, [this, count] { rings_.setSlotCountOverride(count); });
        if (index == 0)
            menu->addSeparator();
    }
}

} // namespace vima
