#include "settings/packs/PackBuilderModel.h"

#include "model/AppSuggestions.h"
#include "platform/SystemBeep.h"
#include "store/ConfigStore.h"
#include "store/SavedGroupCopy.h"

#include <QPointer>
#include <QSet>
#include <QTimer>
#include <algorithm>

namespace vima {

namespace {

// Spaces and tabs only: a line break counts as content.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    const auto blank = [&](qsizetype i) { return text[i] == u' ' || text[i] == u'\t'; };
    while (begin < end && blank(begin))
        ++begin;
    while (end > begin && blank(end - 1))
        --end;
    return text.mid(begin, end - begin);
}

const QString rewritePrompt = QStringLiteral(
    "You rewrite text to be clearer and more concise while preserving the author's voice, meaning and "
    "formatting. Fix grammar and awkward phrasing. Do not add new information, commentary or headings. "
    "Reply with the rewritten text only.");

struct NewKind {
    QString title;
    QString symbol;
};

NewKind newKind(ItemAction::Kind kind)
{
    switch (kind) {
    case ItemAction::Kind::launchApp: return {QStringLiteral("Open App"), QStringLiteral("app")};
    case ItemAction::Kind::open: return {QStringLiteral("Open"), QStringLiteral("link")};
    case ItemAction::Kind::shell: return {QStringLiteral("Run Script"), QStringLiteral("terminal")};
    case ItemAction::Kind::appleScript: return {QStringLiteral("Run AppleScript"), QStringLiteral("scroll")};
    case ItemAction::Kind::ai:
    case ItemAction::Kind::openRing: break;
    }
    return {QStringLiteral("New AI Action"), QStringLiteral("wand.and.sparkles")};
}

QSet<QUuid> ringLinks(const QList<RingItem> &items)
{
    QSet<QUuid> links;
    for (const RingItem &item : items) {
        if (const auto *open = std::get_if<OpenRingPayload>(&item.action.payload))
            links.insert(open->ringID);
    }
    return links;
}

} // namespace

const QStringList &PackBuilderModel::iconChoices()
{
    static const QStringList choices{"circle.grid.cross", "sparkles", "folder", "app",
                                     "terminal", "book", "paintbrush", "camera"};
    return choices;
}

bool PackBuilderModel::needsTarget(const RingItem &item)
{
    const auto &payload = item.action.payload;
    if (const auto *launch = std::get_if<LaunchAppPayload>(&payload))
        return launch->bundleID.value_or(QString()).isEmpty() && launch->path.value_or(QString()).isEmpty();
    if (const auto *open = std::get_if<OpenPayload>(&payload))
        return trimBlanks(open->target).isEmpty();
    if (const auto *shell = std::get_if<ShellPayload>(&payload))
        return trimBlanks(shell->script).isEmpty();
    if (const auto *script = std::get_if<AppleScriptPayload>(&payload))
        return trimBlanks(script->source).isEmpty();
    return false;
}

PackBuilderModel::PackBuilderModel(ConfigStore &store, SystemBeep &beep, Opening opening, AppScan scan,
                                   QObject *parent)
    : QObject(parent), store_(store), beep_(beep), opening_(std::move(opening)), scan_(std::move(scan))
{
}

QString PackBuilderModel::displayName() const
{
    return name_.isEmpty() ? QStringLiteral("Pack") : name_;
}

void PackBuilderModel::setName(const QString &name)
{
    name_ = name;
    Q_EMIT changed();
}

void PackBuilderModel::setIcon(const IconSpec &icon)
{
    icon_ = icon;
    Q_EMIT changed();
}

int PackBuilderModel::minimumChildSlots() const
{
    return std::min<int>(std::max<qsizetype>(2, items_.size()), maxChildSlots);
}

void PackBuilderModel::setChildSlots(int count)
{
    childSlots_ = std::clamp(count, minimumChildSlots(), int(maxChildSlots));
    Q_EMIT changed();
}

Ring PackBuilderModel::previewRing() const
{
    return Ring{childRingID_, displayName(), std::nullopt, true, std::nullopt, items_};
}

std::optional<qint64> PackBuilderModel::nextFreeSlot() const
{
    for (qint64 slot = 0; slot < childSlots_; ++slot) {
        if (std::none_of(items_.cbegin(), items_.cend(), [&](const RingItem &item) { return item.slot == slot; }))
            return slot;
    }
    return std::nullopt;
}

QList<RingItem> PackBuilderModel::itemsNeedingTarget() const
{
    QList<RingItem> needing;
    std::copy_if(items_.cbegin(), items_.cend(), std::back_inserter(needing), &PackBuilderModel::needsTarget);
    return needing;
}

QString PackBuilderModel::summaryText() const
{
    return QStringLiteral("Action pack · ") + QString::number(items_.size())
        + (items_.size() == 1 ? QStringLiteral(" item") : QStringLiteral(" items")) + QStringLiteral(" · ")
        + QString::number(childSlots_) + QStringLiteral(" slots");
}

QString PackBuilderModel::warningText() const
{
    const qsizetype count = itemsNeedingTarget().size();
    if (count == 0)
        return {};
    return QString::number(count)
        + (count == 1 ? QStringLiteral(" action still needs a target — click its title to fill it in")
                      : QStringLiteral(" actions still need a target — click its title to fill it in"));
}

QString PackBuilderModel::saveButtonTitle() const
{
    return savedFlash_ ? QStringLiteral("Saved ✓") : QStringLiteral("Save as pack");
}

void PackBuilderModel::editItem(const QUuid &itemID, const std::function<void(RingItem &)> &change)
{
    for (RingItem &item : items_) {
        if (item.id == itemID)
            change(item);
    }
    Q_EMIT changed();
}

void PackBuilderModel::setItemTitle(const QUuid &itemID, const QString &title)
{
    editItem(itemID, [&](RingItem &item) { item.title = title; });
}

void PackBuilderModel::setTargetText(const QUuid &itemID, const QString &text)
{
    editItem(itemID, [&](RingItem &item) {
        switch (item.action.kind()) {
        case ItemAction::Kind::open:
            item.action = ItemAction{OpenPayload{text}};
            break;
        case ItemAction::Kind::shell:
            item.action = ItemAction{ShellPayload{text, QStringLiteral("/bin/zsh"), false}};
            break;
        case ItemAction::Kind::appleScript:
            item.action = ItemAction{AppleScriptPayload{text, false}};
            break;
        default:
            break;
        }
    });
}

void PackBuilderModel::chooseApplication(const QUuid &itemID, const ChosenApplication &app)
{
    editItem(itemID, [&](RingItem &item) {
        item.action = ItemAction{LaunchAppPayload{app.bundleID, app.path}};
        if (RingItem::isPlaceholderTitle(item.title) || item.title.startsWith(QStringLiteral("New ")))
            item.title = app.name;
        item.icon = IconSpec::appIcon(app.bundleID);
    });
}

void PackBuilderModel::removeItem(const QUuid &itemID)
{
    items_.removeIf([&](const RingItem &item) { return item.id == itemID; });
    Q_EMIT itemsChanged();
}

void PackBuilderModel::previewClicked(qint64 slot)
{
    if (previewRing().itemInSlot(slot))
        return;
    pendingSlot_ = slot;
    addPage_ = AddPage::root;
    showAdd_ = true;
    Q_EMIT addPanelChanged();
}

void PackBuilderModel::openAddPanel()
{
    pendingSlot_.reset();
    addPage_ = AddPage::root;
    showAdd_ = true;
    Q_EMIT addPanelChanged();
}

void PackBuilderModel::closeAddPanel()
{
    if (!showAdd_)
        return;
    showAdd_ = false;
    Q_EMIT addPanelChanged();
}

void PackBuilderModel::showRootPage()
{
    addPage_ = AddPage::root;
    Q_EMIT addPanelChanged();
}

void PackBuilderModel::showLibraryPage()
{
    addPage_ = AddPage::library;
    Q_EMIT addPanelChanged();
}

void PackBuilderModel::showAppsPage()
{
    if (installedApps_.isEmpty())
        scanInstalledApps();
    selectedApp_.reset();
    addPage_ = AddPage::apps;
    Q_EMIT addPanelChanged();
}

QCoro::Task<> PackBuilderModel::scanInstalledApps()
{
    QPointer<PackBuilderModel> self(this);
    ++scansRunning_;
    QList<InstalledApp> apps = co_await scan_();
    if (!self)
        co_return;
    --self->scansRunning_;
    self->setInstalledApps(std::move(apps));
}

void PackBuilderModel::setLibQuery(const QString &query)
{
    libQuery_ = query;
    Q_EMIT addPanelChanged();
}

void PackBuilderModel::setAppQuery(const QString &query)
{
    appQuery_ = query;
    Q_EMIT addPanelChanged();
}

void PackBuilderModel::setInstalledApps(QList<InstalledApp> apps)
{
    for (InstalledApp &app : apps)
        app.name = app.name.normalized(QString::NormalizationForm_C);
    std::stable_sort(apps.begin(), apps.end(),
                     [](const InstalledApp &a, const InstalledApp &b) { return a.name < b.name; });
    installedApps_ = apps;
    Q_EMIT addPanelChanged();
}

void PackBuilderModel::setSelectedApp(const std::optional<InstalledApp> &app)
{
    selectedApp_ = app;
    Q_EMIT addPanelChanged();
}

QList<PackBuilderModel::LibrarySection> PackBuilderModel::librarySections() const
{
    QList<LibrarySection> sections;
    for (ActionCategory category : allActionCategories()) {
        LibrarySection section{category, {}};
        for (const ActionPreset &preset : ActionPreset::all()) {
            if (preset.category == category && preset.matches(libQuery_))
                section.presets.append(preset);
        }
        if (!section.presets.isEmpty())
            sections.append(section);
    }
    return sections;
}

QList<InstalledApp> PackBuilderModel::filteredApps() const
{
    const QString needle = trimBlanks(appQuery_).toLower();
    QList<InstalledApp> apps;
    for (const InstalledApp &app : installedApps_) {
        if (apps.size() == maxListedApps)
            break;
        if (needle.isEmpty() || app.name.toLower().contains(needle))
            apps.append(app);
    }
    return apps;
}

QList<RingItem> PackBuilderModel::appShortcuts() const
{
    if (!selectedApp_)
        return {};
    return suggestedAppActions(selectedApp_->bundleID, selectedApp_->name, language());
}

QString PackBuilderModel::language() const
{
    return store_.config().ai.defaultTargetLanguage;
}

void PackBuilderModel::append(RingItem item, qint64 slot)
{
    item.id = QUuid::createUuid();
    item.slot = slot;
    items_.append(item);
    Q_EMIT itemsChanged();
}

qint64 PackBuilderModel::takeSlotForNewKind()
{
    // A pending slot taken meanwhile by another add would put two items in one slot.
    const std::optional<qint64> pending = std::exchange(pendingSlot_, std::nullopt);
    if (pending && *pending < childSlots_ && !previewRing().itemInSlot(*pending))
        return *pending;
    return nextFreeSlot().value_or(items_.size());
}

void PackBuilderModel::addItemOfKind(ItemAction::Kind kind)
{
    closeAddPanel();
    if (isFull()) {
        beep_.beep();
        return;
    }
    const qint64 slot = takeSlotForNewKind();
    const NewKind made = newKind(kind);
    ItemAction action = ItemAction::defaultAction(kind);
    if (kind == ItemAction::Kind::ai)
        action = ItemAction{AIPayload{rewritePrompt, ResultHandling::replaceSelection, {}, {}, false}};
    append(RingItem{{}, made.title, IconSpec::symbol(made.symbol), slot, action}, slot);
}

void PackBuilderModel::addNestedPack()
{
    closeAddPanel();
    const std::optional<qint64> slot = nextFreeSlot();
    if (!slot) {
        beep_.beep();
        return;
    }
    const Ring nested{QUuid::createUuid(), QStringLiteral("Nested pack"), std::nullopt, true, std::nullopt, {}};
    pendingChildRings_.append(nested);
    append(RingItem{{}, QStringLiteral("Nested pack"), IconSpec::symbol(QStringLiteral("circle.grid.cross")), *slot,
                    ItemAction{OpenRingPayload{nested.id}}},
           *slot);
}

void PackBuilderModel::addFromSavedGroup(const SavedGroup &group)
{
    closeAddPanel();
    // Fresh copies of the nested rings too, so the copied openers open something once installed.
    const InstalledSavedGroup copy = instantiate(group);
    pendingChildRings_.append(copy.nestedRings);
    for (const RingItem &item : copy.pack.items) {
        const std::optional<qint64> slot = nextFreeSlot();
        if (!slot) {
            beep_.beep();
            return;
        }
        append(item, *slot);
    }
}

void PackBuilderModel::addLibraryPreset(const ActionPreset &preset)
{
    const std::optional<qint64> slot = nextFreeSlot();
    if (!slot) {
        beep_.beep();
        return;
    }
    append(preset.makeItem(*slot, language()), *slot);
}

void PackBuilderModel::addAppShortcut(const RingItem &item)
{
    const std::optional<qint64> slot = nextFreeSlot();
    if (!slot) {
        beep_.beep();
        return;
    }
    append(item, *slot);
}

QList<Ring> PackBuilderModel::referencedPendingRings() const
{
    // Transitively: a nested ring copied from a saved pack may open further ones.
    QSet<QUuid> reached = ringLinks(items_);
    for (bool grew = true; grew;) {
        grew = false;
        for (const Ring &ring : pendingChildRings_) {
            if (!reached.contains(ring.id))
                continue;
            for (const QUuid &link : ringLinks(ring.items)) {
                if (!reached.contains(link)) {
                    reached.insert(link);
                    grew = true;
                }
            }
        }
    }
    QList<Ring> rings;
    for (const Ring &ring : pendingChildRings_) {
        if (reached.contains(ring.id))
            rings.append(ring);
    }
    return rings;
}

void PackBuilderModel::saveAsGroup()
{
    if (items_.isEmpty())
        return;
    const SavedGroup group{QUuid::createUuid(), displayName(), icon_, items_, referencedPendingRings()};
    store_.edit([&](VimaConfig &config) { config.savedGroups.append(group); });
    savedFlash_ = true;
    Q_EMIT changed();
    QTimer::singleShot(1200, this, [this] {
        savedFlash_ = false;
        Q_EMIT changed();
    });
}

bool PackBuilderModel::commit()
{
    if (items_.isEmpty())
        return false;
    for (const Ring &ring : referencedPendingRings())
        store_.edit([&](VimaConfig &config) { config.rings.append(ring); });
    const Ring pack{QUuid::createUuid(), displayName(), std::nullopt, true, std::nullopt, items_};
    store_.edit([&](VimaConfig &config) { config.rings.append(pack); });
    store_.setRingSlotCount(childSlots_, pack.id);
    const RingItem opener{QUuid::createUuid(), displayName(), icon_, opening_.slot,
                          ItemAction{OpenRingPayload{pack.id}}};
    store_.appendItem(opener, opening_.parentRingID);
    if (opening_.onCommit)
        opening_.onCommit(opener.id);
    return true;
}

} // namespace vima
