#include "settings/items/AddItemChooser.h"

#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/SlotOperations.h"
#include "settings/kit/ElidedLabel.h"
#include "settings/kit/ItemLooks.h"
#include "settings/kit/MenuLooks.h"
#include "settings/kit/RingPreviewView.h"
#include "settings/kit/RowButton.h"
#include "settings/kit/SettingsContext.h"
#include "store/ConfigStore.h"
#include "ui/PopupPlacement.h"
#include "ui/SymbolCatalog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace vima {

AddItemChooser::AddItemChooser(ItemsSettingsModel &model, SlotOperations &slots, SettingsContext &context,
                               QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , model_(model)
    , slots_(slots)
    , context_(context)
    , rows_(new QVBoxLayout(this))
{
    setFrameShape(QFrame::StyledPanel);
    setFixedWidth(width);
    setAccessibleName(tr("Add an item"));
    rows_->setContentsMargins(0, 6, 0, 6);
    rows_->setSpacing(2);
}

void AddItemChooser::showFor(qint64 slot, RingPreviewView *preview)
{
    slot_ = slot;
    fill();
    adjustSize();
    place(preview);
    show();
    if (QWidget *first = findChild<RowButton *>())
        first->setFocus();
}

void AddItemChooser::fill()
{
    while (QLayoutItem *item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const AddItemChoice &choice : addItemChoices(slot_, context_.store.config().savedGroups))
        rows_->addWidget(choice.kind == AddItemChoice::Kind::caption ? sectionCaption(choice.title) : choiceRow(choice));
}

QWidget *AddItemChooser::choiceRow(const AddItemChoice &choice)
{
    const bool isPack = choice.kind == AddItemChoice::Kind::savedPack;
    auto *button = new RowButton(isPack ? ItemsSettingsModel::displayName(choice.title) : choice.title);
    QHBoxLayout *row = button->row();
    if (isPack) {
        row->setContentsMargins(10, 6, 10, 6);
        row->setSpacing(9);
        savedPackLabel(row, choice.pack, &context_.appIcons);
    } else {
        row->setContentsMargins(12, 5, 12, 5);
        row->setSpacing(10);
        const QString symbol = SymbolCatalog::knows(choice.symbol) ? choice.symbol : QStringLiteral("circle");
        auto *frame = new QWidget;
        frame->setFixedSize(22, 22);
        auto *centred = new QHBoxLayout(frame);
        centred->setContentsMargins(0, 0, 0, 0);
        centred->addWidget(new SymbolIcon(symbol, choice.emphasised ? Tone::label : Tone::secondary, 17));
        row->addWidget(frame);
        auto *texts = new QVBoxLayout;
        texts->setSpacing(1);
        auto *title = new ToneLabel(Tone::label, choice.title);
        title->setFont(pointFont(13, choice.emphasised ? QFont::DemiBold : QFont::Normal));
        texts->addWidget(title);
        if (!choice.subtitle.isEmpty()) {
            auto *subtitle = new ElidedLabel(Tone::tertiary, Qt::ElideRight);
            subtitle->setFont(pointFont(11));
            subtitle->setFullText(choice.subtitle);
            texts->addWidget(subtitle);
        }
        row->addLayout(texts, 1);
    }
    connect(button, &QAbstractButton::clicked, this, [this, choice] {
        const qint64 slot = slot_;
        hide();
        slots_.choose(choice, slot);
    });
    return button;
}

void AddItemChooser::place(RingPreviewView *preview)
{
    // Outwards from the ring, so the tile stays in sight.
    const QRect tile = preview->slotRect(int(slot_));
    placePopup(this, preview, tile, tile.center().x() < preview->width() / 2 ? PopupSide::leading : PopupSide::trailing);
}

void AddItemChooser::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape: hide(); break;
    case Qt::Key_Down: focusNextChild(); break;
    case Qt::Key_Up: focusPreviousChild(); break;
    default: QFrame::keyPressEvent(event);
    }
}

void AddItemChooser::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    model_.setAddAtSlot(std::nullopt);
}

} // namespace vima
