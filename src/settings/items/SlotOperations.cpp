#include "settings/items/SlotOperations.h"

#include "model/StarterItems.h"
#include "platform/UiPrompts.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/kit/ShownName.h"
#include "store/ConfigStore.h"
#include "store/SavedGroupCopy.h"

#include <QPointer>
#include <QSet>
#include <QTimer>
#include <algorithm>

namespace vima {

namespace {

const QString rewritePrompt = QStringLiteral(
    "You rewrite text to be clearer and more concise while preserving the author's voice, meaning and "
    "formatting. Fix grammar and awkward phrasing. Do not add new information, commentary or headings. Reply "
    "with the rewritten text only.");

// The lowest slot below `capacity` not in `used`; 0 when there is none.
qint64 lowestFree(const QSet<qint64> &used, qint64 capacity)
{
    for (qint64 slot = 0; slot < capacity; ++slot) {
        if (!used.contains(slot))
            return slot;
    }
    return 0;
}

QString removalText(qsizetype packItems)
{
    if (packItems == 0)
        return SlotOperations::tr("The empty pack it opens goes with it. This can't be undone.");
    const QString text = packItems == 1
                             ? SlotOperations::tr("Its pack and the %1 action inside go with it. This can't be undone.")
                             : SlotOperations::tr("Its pack and the %1 actions inside go with it. This can't be undone.");
    return text.arg(packItems);
}

} // namespace

SlotOperations::SlotOperations(ItemsSettingsModel &model, UiPrompts &prompts, QObject *parent)
    : QObject(parent)
    , model_(model)
    , prompts_(prompts)
{
}

QString SlotOperations::menuLabel(Kind kind)
{
    switch (kind) {
    case Kind::launchApp: return tr("Open an app");
    case Kind::open: return tr("Open a link or file");
    case Kind::shell: return tr("Run a shell script");
    case Kind::appleScript: return tr("Run AppleScript");
    case Kind::ai: return tr("AI on selected text");
    case Kind::openRing: return tr("Open a pack");
    }
    Q_UNREACHABLE();
}

RingItem SlotOperations::newItem(Kind kind, qint64 slot)
{
    RingItem item{QUuid::createUuid(), tr("New ") + ItemAction::longTitle(kind),
                  IconSpec::symbol(ItemAction::defaultSymbol(kind)), slot, ItemAction::defaultAction(kind)};
    if (kind == Kind::ai) {
        item.title = tr("New AI Action");
        item.icon = IconSpec::symbol(QStringLiteral("wand.and.sparkles"));
        item.action = ItemAction{AIPayload{rewritePrompt, ResultHandling::replaceSelection, {}, {}, false}};
    }
    return item;
}

QCoro::Task<> SlotOperations::refuseFull()
{
    // Arguments are named first: GCC 12 mishandles temporaries inside a co_await expression.
    const QString message = tr("The ring is full.");
    const QString informative = tr("Remove an item, or raise the slot count on the General tab.");
    prompts_.beep();
    co_await prompts_.alert(model_.promptParent, message, informative);
}

QCoro::Task<> SlotOperations::addNewAction(Kind kind, std::optional<qint64> slot)
{
    if (model_.isEditedRingFull()) {
        co_await refuseFull();
        co_return;
    }
    const qint64 at = slot.value_or(model_.firstFreeSlot());
    if (kind == Kind::openRing) {
        co_await addEmptyPack(at);
        co_return;
    }
    const RingItem item = newItem(kind, at);
    model_.store().appendItem(item, model_.editedRing().id);
    model_.selectItem(item.id);
}

QCoro::Task<> SlotOperations::addEmptyPack(std::optional<qint64> slot)
{
    if (model_.isEditedRingFull()) {
        co_await refuseFull();
        co_return;
    }
    // Noted first: with no page stored, the new pack would become the edited
    // ring and its opener would land inside it.
    const QUuid ringID = model_.editedRing().id;
    const qint64 at = slot.value_or(model_.firstFreeSlot());
    Ring pack;
    pack.id = QUuid::createUuid();
    pack.name = tr("More");
    pack.isSubRing = true;
    ConfigStore &store = model_.store();
    store.edit([&](VimaConfig &config) { config.rings.append(pack); });
    const RingItem opener{QUuid::createUuid(), tr("More"), IconSpec::symbol(QStringLiteral("ellipsis.circle")), at,
                          ItemAction{OpenRingPayload{pack.id}}};
    store.appendItem(opener, ringID);
    model_.selectItem(opener.id);
}

QCoro::Task<> SlotOperations::insertSavedPack(SavedGroup group, std::optional<qint64> slot)
{
    if (model_.isEditedRingFull()) {
        co_await refuseFull();
        co_return;
    }
    const qint64 at = slot.value_or(model_.firstFreeSlot());
    const QUuid ringID = model_.editedRing().id;
    const InstalledSavedGroup installed = instantiate(group);
    ConfigStore &store = model_.store();
    store.edit([&](VimaConfig &config) { config.rings.append(installed.pack); });
    store.edit([&](VimaConfig &config) { config.rings.append(installed.nestedRings); });
    const RingItem opener{QUuid::createUuid(), group.name, group.icon, at,
                          ItemAction{OpenRingPayload{installed.pack.id}}};
    store.appendItem(opener, ringID);
    model_.selectItem(opener.id);
}

QCoro::Task<> SlotOperations::addAllBuiltInAIActions()
{
    const Ring ring = model_.editedRing();
    const qint64 capacity = model_.editedRingCapacity();
    const qint64 free = capacity - ring.items.size();
    if (free < 1) {
        co_await refuseFull();
        co_return;
    }
    QSet<qint64> used;
    for (const RingItem &item : ring.items)
        used.insert(item.slot);
    qint64 slot = model_.firstFreeSlot();
    const QList<RingItem> starters = starterItems(0, model_.store().config().ai.defaultTargetLanguage);
    for (RingItem item : starters.mid(0, free)) {
        item.slot = slot;
        used.insert(slot);
        model_.store().appendItem(item, ring.id);
        slot = lowestFree(used, capacity);
    }
}

QCoro::Task<> SlotOperations::removeSelectedItem()
{
    const std::optional<RingItem> item = model_.selectedItem();
    if (!item)
        co_return;
    const QUuid ringID = model_.editedRing().id;
    ConfigStore &store = model_.store();
    const auto *opens = std::get_if<OpenRingPayload>(&item->action.payload);
    if (const auto pack = opens ? store.config().ringWithID(opens->ringID) : std::nullopt) {
        const QString message = tr("Remove %1?").arg(quotedName(item->title.isEmpty() ? pack->name : item->title));
        const QString informative = removalText(pack->items.size());
        const QString button = tr("Remove");
        const QPointer<SlotOperations> self(this);
        const bool confirmed = co_await prompts_.confirm(model_.promptParent, message, informative, button);
        if (!self || !confirmed)
            co_return;
    }
    const auto ringIndex = store.ringIndex(ringID);
    if (!ringIndex)
        co_return;
    const QList<RingItem> &items = store.config().rings.at(*ringIndex).items;
    if (std::none_of(items.cbegin(), items.cend(), [&](const RingItem &stored) { return stored.id == item->id; }))
        co_return;
    store.removeItems({item->id}, ringID);
    model_.selectFirstItem();
}

void SlotOperations::selectSlot(qint64 slot)
{
    if (const auto item = model_.editedRing().itemInSlot(slot))
        model_.selectItem(item->id);
    else
        model_.setAddAtSlot(slot);
}

void SlotOperations::assignSlot(qint64 slot)
{
    // Only an item on the edited ring moves; its store rule swaps an occupant.
    if (const auto item = model_.selectedItem())
        model_.store().moveItem(item->id, slot, model_.editedRing().id);
}

void SlotOperations::saveRingAsSavedPack(const QUuid &ringID, const IconSpec &icon)
{
    model_.store().saveRingAsPack(ringID, std::nullopt, icon);
}

void SlotOperations::choose(const AddItemChoice &choice, qint64 slot)
{
    using ActiveSheet = ItemsSettingsModel::ActiveSheet;
    model_.setAddAtSlot(std::nullopt);
    switch (choice.kind) {
    case AddItemChoice::Kind::caption: return;
    case AddItemChoice::Kind::buildPack: {
        // Once the chooser has gone.
        const QPointer<ItemsSettingsModel> model(&model_);
        QTimer::singleShot(0, this, [model, slot] {
            if (model)
                model->requestSheet({ActiveSheet::Kind::buildPack, slot});
        });
        return;
    }
    case AddItemChoice::Kind::browse: model_.requestSheet({ActiveSheet::Kind::library}); return;
    case AddItemChoice::Kind::newItem: addNewAction(choice.itemKind, slot); return;
    case AddItemChoice::Kind::savedPack: insertSavedPack(choice.pack, slot); return;
    }
}

} // namespace vima
