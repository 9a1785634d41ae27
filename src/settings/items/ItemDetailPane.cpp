#include "settings/items/ItemDetailPane.h"

#include "settings/items/AddItemChooser.h"
#include "settings/items/ItemEditorView.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/SlotOperations.h"
#include "settings/kit/MenuLooks.h"
#include "settings/kit/RingPreviewView.h"
#include "settings/kit/SettingsContext.h"
#include "store/ConfigStore.h"

#include <QStackedWidget>
#include <QVBoxLayout>

namespace vima {

ItemDetailPane::ItemDetailPane(ItemsSettingsModel &model, SlotOperations &slots, SettingsContext &context,
                               QWidget *parent)
    : QWidget(parent)
    , model_(model)
    , slots_(slots)
    , context_(context)
    , preview_(new RingPreviewView(context))
    , chooser_(new AddItemChooser(model, slots, context, this))
    , stack_(new QStackedWidget)
{
    preview_->setFixedHeight(300);
    preview_->onSlotTapped = [this](int slot) { slots_.selectSlot(slot); };
    auto *previewBox = new QVBoxLayout;
    previewBox->setContentsMargins(12, 12, 12, 12);
    previewBox->addWidget(preview_);
    stack_->addWidget(buildEmptyState());

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(previewBox);
    column->addWidget(dividerLine());
    column->addWidget(stack_, 1);

    connect(&model_, &ItemsSettingsModel::addAtSlotChanged, this, &ItemDetailPane::showChooser);
}

QWidget *ItemDetailPane::buildEmptyState()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->addStretch(1);
    auto *symbol = new SymbolIcon(QStringLiteral("circle.grid.cross"), Tone::secondary, 40);
    column->addWidget(symbol, 0, Qt::AlignHCenter);
    auto *title = new ToneLabel(Tone::label, tr("No item selected"));
    title->setFont(pointFont(17, QFont::DemiBold));
    column->addWidget(title, 0, Qt::AlignHCenter);
    auto *description = new ToneLabel(Tone::secondary, tr("Pick an item on the left, or add one with +."));
    column->addWidget(description, 0, Qt::AlignHCenter);
    column->addStretch(1);
    return page;
}

void ItemDetailPane::refresh()
{
    const VimaConfig &config = context_.store.config();
    preview_->setRing(model_.editedRing(), model_.editedRingCapacity(), config.appearance);
    preview_->setHighlightedSlot(model_.highlightedSlot());
    refreshEditor();
}

void ItemDetailPane::showChooser()
{
    if (const auto slot = model_.addAtSlot()) {
        if (!chooser_->isVisible() || chooser_->slot() != *slot)
            chooser_->showFor(*slot, preview_);
    } else if (chooser_->isVisible()) {
        chooser_->hide();
    }
}

void ItemDetailPane::refreshEditor()
{
    const std::optional<RingItem> item = model_.selectedItem();
    const QUuid ringID = model_.editedRing().id;
    if (!item) {
        stack_->setCurrentIndex(0);
        if (editor_) {
            editor_->deleteLater();
            editor_ = nullptr;
        }
        editorItemID_.reset();
        return;
    }
    if (!editor_ || editorItemID_ != item->id || editorRingID_ != ringID) {
        if (editor_)
            editor_->deleteLater();
        editor_ = makeEditor();
        stack_->addWidget(editor_);
        editorItemID_ = item->id;
        editorRingID_ = ringID;
    }
    const VimaConfig &config = context_.store.config();
    editor_->setSlotCount(model_.editedRingCapacity());
    editor_->setDefaultLanguage(config.ai.defaultTargetLanguage);
    editor_->setSubRings(config.subRings());
    editor_->setItem(*item);
    stack_->setCurrentWidget(editor_);
}

ItemEditorView *ItemDetailPane::makeEditor()
{
    auto *editor = new ItemEditorView(context_);
    editor->onAssignSlot = [this](qint64 slot) { slots_.assignSlot(slot); };
    editor->onEditSubRing = [this](const QUuid &ringID) { model_.selectRing(ringID); };
    editor->onSaveAsTemplate = [this](const QUuid &ringID, const IconSpec &icon) {
        slots_.saveRingAsSavedPack(ringID, icon);
    };
    editor->onTurnIntoSubRing = [this] {
        model_.requestSheet({ItemsSettingsModel::ActiveSheet::Kind::appActions});
    };
    connect(editor, &ItemEditorView::itemEdited, &model_, &ItemsSettingsModel::writeEditedItem);
    return editor;
}

} // namespace vima
