#include "settings/items/RingOperations.h"

#include "platform/UiPrompts.h"
#include "ring/RingText.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/kit/FieldText.h"
#include "settings/kit/ShownName.h"
#include "settings/kit/SlotCountRule.h"
#include "store/AppDisplayName.h"
#include "store/ConfigStore.h"

#include <QPointer>
#include <array>

namespace vima {

namespace {

using RingKind = ItemsSettingsModel::RingKind;

constexpr std::array<qint64, 5> slotChoices{4, 6, 8, 10, 12};

Ring newRing(const QString &name)
{
    Ring ring;
    ring.id = QUuid::createUuid();
    ring.name = name;
    return ring;
}

} // namespace

RingOperations::RingOperations(ItemsSettingsModel &model, UiPrompts &prompts, QObject *parent)
    : QObject(parent)
    , model_(model)
    , prompts_(prompts)
{
}

QList<RingOperations::PickerSection> RingOperations::pickerSections() const
{
    const VimaConfig &config = model_.store().config();
    const QUuid edited = model_.editedRing().id;
    const auto entries = [&](const QList<Ring> &rings, bool checks) {
        QList<PickerEntry> out;
        for (const Ring &ring : rings) {
            const bool isApp = ItemsSettingsModel::kindOf(ring) == RingKind::appRing;
            out.append({ring.id, ItemsSettingsModel::displayName(ring.name), checks && ring.id == edited,
                        isApp ? ring.bundleIDMatch : std::nullopt});
        }
        return out;
    };
    QList<PickerSection> sections{{tr("Pages"), entries(config.globalRings(), true)}};
    if (const QList<Ring> apps = config.appRings(); !apps.isEmpty())
        sections.append({tr("App Rings"), entries(apps, false)});
    if (const QList<Ring> packs = config.subRings(); !packs.isEmpty())
        sections.append({tr("Packs"), entries(packs, true)});
    return sections;
}

RingOperations::Menu RingOperations::menu() const
{
    const VimaConfig &config = model_.store().config();
    const RingKind kind = model_.editedRingKind();
    Menu menu;
    menu.addEmptyPack = kind == RingKind::pack;
    menu.pageEntries = kind == RingKind::page;
    menu.canMoveUp = canMoveRing(-1);
    menu.canMoveDown = canMoveRing(+1);
    menu.deletePage = kind == RingKind::page && config.globalRings().size() >= 2;
    menu.ringEntries = kind != RingKind::page;
    menu.manageSavedPacks = !config.savedGroups.isEmpty();
    return menu;
}

QList<RingOperations::SlotEntry> RingOperations::slotEntries() const
{
    const Ring ring = model_.editedRing();
    const qint64 global = model_.store().config().slotCount;
    QList<SlotEntry> entries{
        {tr("Default (%1)").arg(global), std::nullopt, !ring.slotCount, SlotCountRule::refusal(ring, global)}};
    for (const qint64 count : slotChoices)
        entries.append({tr("%1 slots").arg(count), count, ring.slotCount == count, SlotCountRule::refusal(ring, count)});
    return entries;
}

std::optional<RingOperations::AppRingInfo> RingOperations::appRingInfo() const
{
    const Ring ring = model_.editedRing();
    if (!ring.bundleIDMatch)
        return std::nullopt;
    std::optional<QString> appName = appDisplayName(model_.catalog(), *ring.bundleIDMatch);
    if (appName)
        appName = RingText::bounded(*appName);
    AppRingInfo info{*ring.bundleIDMatch, appName, {}};
    // Without an installed entry the ring still opens over windows of its
    // class: only the switch keeps it shut.
    if (!model_.store().config().featureFlags.contextAwareRings)
        info.caption = tr("Context-aware rings are off, so this ring never opens. Turn them on in General.");
    else if (!info.appName)
        info.caption = tr("No installed application has this identifier, so the ring opens only over windows whose "
                          "class is this identifier (in any case) or another identifier of the same known browser or "
                          "file manager. It is kept as-is and works again in full if the app comes back.");
    else
        info.caption = tr("Replaces the default ring while %1 is frontmost.").arg(isolated(*info.appName));
    return info;
}

void RingOperations::appendAndSelect(const Ring &ring)
{
    model_.store().edit([&](VimaConfig &config) { config.rings.append(ring); });
    model_.selectRing(ring.id);
}

void RingOperations::addPage() { appendAndSelect(newRing(tr("New Page"))); }

QCoro::Task<> RingOperations::addAppRing()
{
    const QPointer<RingOperations> self(this);
    const std::optional<ChosenApplication> chosen = co_await prompts_.chooseApplication(model_.promptParent);
    if (!self || !chosen || chosen->bundleID.isEmpty())
        co_return;
    if (chosen->bundleID == VimaConfig::ownBundleIdentifier()) {
        const QString message = tr("Tavelon can't have a ring of its own.");
        const QString informative = tr("Opening the ring makes Tavelon the frontmost app, so this ring would "
                                       "replace whichever one you actually summoned.");
        prompts_.beep();
        co_await prompts_.alert(model_.promptParent, message, informative);
        co_return;
    }
    for (const Ring &ring : model_.store().config().appRings()) {
        if (ring.bundleIDMatch != chosen->bundleID)
            continue;
        const QUuid ringID = ring.id;
        const QString message = quotedName(chosen->name) + tr(" already has a ring.");
        const QString informative = quotedName(ItemsSettingsModel::displayName(ring.name)) + tr(" already opens when ")
                                    + RingText::bounded(chosen->name) + tr(" is frontmost. Edit that one instead.");
        prompts_.beep();
        co_await prompts_.alert(model_.promptParent, message, informative);
        if (self)
            model_.selectRing(ringID);
        co_return;
    }
    Ring ring = newRing(chosen->name);
    ring.bundleIDMatch = chosen->bundleID;
    appendAndSelect(ring);
}

QCoro::Task<> RingOperations::renameRing()
{
    if (!model_.isEditedRingStored())
        co_return;
    const Ring ring = model_.editedRing();
    const bool isPage = ItemsSettingsModel::kindOf(ring) == RingKind::page;
    QString informative;
    if (ring.bundleIDMatch) {
        const QString app = appDisplayName(model_.catalog(), *ring.bundleIDMatch).value_or(*ring.bundleIDMatch);
        informative = tr("Still opens for %1.").arg(isolated(RingText::bounded(app)));
    }
    // Arguments are named first: GCC 12 mishandles temporaries inside a co_await expression.
    const QString title = isPage ? tr("Rename page") : tr("Rename ring");
    const QString button = tr("Rename");
    // A name too long for the field is offered cut: kept unless the user edits it.
    const QString shown = fieldText(ring.name);
    const QPointer<RingOperations> self(this);
    const std::optional<QString> name =
        co_await prompts_.askText(model_.promptParent, title, informative, shown, button);
    if (!self || !name || (*name == shown && shown != ring.name))
        co_return;
    ConfigStore &store = model_.store();
    const auto index = store.ringIndex(ring.id);
    if (!index)
        co_return;
    VimaConfig config = store.config();
    config.rings[*index].name = *name;
    store.setConfig(config);
    store.scheduleSave();
}

bool RingOperations::canMoveRing(int delta) const
{
    const VimaConfig &config = model_.store().config();
    const auto position = config.globalRingIndex(model_.editedRing().id);
    if (!position || model_.editedRingKind() != RingKind::page)
        return false;
    const qsizetype target = *position + delta;
    return target >= 0 && target < config.globalRings().size();
}

void RingOperations::moveRing(int delta)
{
    if (!canMoveRing(delta))
        return;
    ConfigStore &store = model_.store();
    const QList<Ring> pages = store.config().globalRings();
    const qsizetype position = *store.config().globalRingIndex(model_.editedRing().id);
    const auto from = store.ringIndex(pages.at(position).id);
    const auto to = store.ringIndex(pages.at(position + delta).id);
    if (!from || !to)
        return;
    store.edit([&](VimaConfig &config) { config.rings.swapItemsAt(*from, *to); });
}

std::optional<RingOperations::Question> RingOperations::deleteQuestion(const Ring &ring) const
{
    if (ItemsSettingsModel::kindOf(ring) == RingKind::pack) {
        const qsizetype openers = model_.store().itemsOpeningRing(ring.id);
        if (openers == 0)
            return std::nullopt;
        const QString text = openers == 1 ? tr("%1 slot opens this pack. Those slots will be removed too.")
                                          : tr("%1 slots open this pack. Those slots will be removed too.");
        return Question{tr("Delete %1?").arg(quotedName(ring.name)), text.arg(openers)};
    }
    if (ring.items.isEmpty())
        return std::nullopt;
    const QString kind = ring.bundleIDMatch ? tr("app ring") : tr("page");
    const QString text = ring.items.size() == 1 ? tr("Its %1 item will be removed. This can't be undone.")
                                                : tr("Its %1 items will be removed. This can't be undone.");
    return Question{tr("Delete the %1 %2?").arg(quotedName(ring.name), kind), text.arg(ring.items.size())};
}

QCoro::Task<> RingOperations::deleteRing()
{
    if (!model_.isEditedRingStored())
        co_return;
    const Ring ring = model_.editedRing();
    ConfigStore &store = model_.store();
    if (ItemsSettingsModel::kindOf(ring) == RingKind::page && store.config().globalRings().size() < 2) {
        prompts_.beep();
        co_return;
    }
    if (const auto question = deleteQuestion(ring)) {
        const QPointer<RingOperations> self(this);
        const QString button = tr("Delete");
        const bool confirmed = co_await prompts_.confirm(model_.promptParent, question->message,
                                                         question->informativeText, button);
        if (!self || !confirmed || !store.ringIndex(ring.id))
            co_return;
    }
    store.deleteRing(ring.id);
    model_.selectRing(store.config().primaryRing().id);
}

void RingOperations::setSlotCountOverride(std::optional<qint64> count)
{
    model_.store().setRingSlotCount(count, model_.editedRing().id);
}

} // namespace vima
