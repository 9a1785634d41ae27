#include "settings/items/ItemEditorModel.h"

#include "async/Scheduler.h"
#include "model/Keystroke.h"
#include "model/Text.h"
#include "settings/items/NewItemKinds.h"
#include "settings/kit/ShownName.h"
#include "ui/SymbolCatalog.h"
#include "platform/UiPrompts.h"
#include "services/HotkeyManager.h"
#include "store/AppDisplayName.h"

#include <QPointer>
#include <algorithm>

namespace vima {
namespace {

constexpr double savedConfirmationSeconds = 2.0;
constexpr qsizetype emojiLength = 2;

std::optional<QString> present(const QString &text)
{
    return text.isEmpty() ? std::nullopt : std::optional(text);
}

// The symbols a kind switch may replace: every kind's default and the
// symbol of the library's AI actions.
bool isDefaultSymbol(const IconSpec &icon)
{
    if (icon.kind != IconSpec::Kind::symbol)
        return false;
    if (icon.value == u"wand.and.sparkles")
        return true;
    const QList<ItemAction::Kind> kinds = ItemAction::allKinds();
    return std::any_of(kinds.begin(), kinds.end(), [&](ItemAction::Kind kind) {
        return icon.value == ItemAction::defaultSymbol(kind);
    });
}

} // namespace

ItemEditorModel::ItemEditorModel(const ApplicationCatalog &catalog, Scheduler &scheduler,
                                 QObject *parent)
    : QObject(parent), catalog_(catalog), scheduler_(scheduler)
{
}

ItemEditorModel::~ItemEditorModel()
{
    for (const quint64 timer : std::as_const(hideTimers_))
        scheduler_.cancel(timer);
}

void ItemEditorModel::setItem(const RingItem &item)
{
    if (item == item_)
        return;
    const bool newSection = item.id != item_.id || item.action.kind() != item_.action.kind();
    if (item.id != item_.id)
        earlierActions_.clear();
    item_ = item;
    if (newSection)
        Q_EMIT sectionChanged();
    Q_EMIT changed();
}

void ItemEditorModel::setSlotCount(qint64 count)
{
    count = Ring::boundedSlotCount(count);
    if (count == slotCount_)
        return;
    slotCount_ = count;
    Q_EMIT changed();
}

void ItemEditorModel::setDefaultLanguage(const QString &language)
{
    if (language == defaultLanguage_)
        return;
    defaultLanguage_ = language;
    Q_EMIT changed();
}

void ItemEditorModel::setSubRings(const QList<Ring> &rings)
{
    if (rings == subRings_)
        return;
    subRings_ = rings;
    Q_EMIT changed();
}

QList<ItemEditorModel::Kind> ItemEditorModel::offeredKinds() const
{
    return vima::offeredKinds(earlierActions_.keys() << kind());
}

QString ItemEditorModel::appleScriptNote() const
{
    const auto *script = std::get_if<AppleScriptPayload>(&item_.action.payload);
    const std::optional<Keystroke> keystroke = script ? Keystroke::parse(script->source.trimmed()) : std::nullopt;
    if (!keystroke)
        return QStringLiteral("AppleScript can't run on this system. The script is kept as it is, but picking "
                              "this item only reports that it can't run.");
    return QStringLiteral("AppleScript can't run on this system, but this keystroke does: ")
        + HotkeyManager::displayName(keystroke->chord) + QStringLiteral(" goes to the window of ")
        + RingText::bounded(keystroke->application) + QStringLiteral(".");
}

QString ItemEditorModel::headerTitle() const
{
    return shownName(item_.title);
}

QStringList ItemEditorModel::slotLabels() const
{
    QStringList labels;
    for (qint64 slot = 0; slot < slotCount_; ++slot)
        labels << (slot == 0 ? QStringLiteral("1 (top)") : QString::number(slot + 1));
    return labels;
}

bool ItemEditorModel::showsUnknownSymbol() const
{
    return item_.icon.kind == IconSpec::Kind::symbol && !item_.icon.value.isEmpty()
        && !SymbolCatalog::knows(item_.icon.value);
}

ItemEditorModel::PackInfo ItemEditorModel::packInfo() const
{
    const auto *payload = std::get_if<OpenRingPayload>(&item_.action.payload);
    if (!payload)
        return {};
    const auto pack = std::find_if(subRings_.begin(), subRings_.end(),
                                   [&](const Ring &ring) { return ring.id == payload->ringID; });
    if (pack == subRings_.end())
        return {};
    return {true, shownName(pack->name), itemCountText(pack->items.size())};
}

bool ItemEditorModel::canTurnIntoPack() const
{
    const auto *payload = std::get_if<LaunchAppPayload>(&item_.action.payload);
    return payload
        && (!payload->bundleID.value_or(QString()).isEmpty() || !payload->path.value_or(QString()).isEmpty());
}

QString ItemEditorModel::kindLabel(Kind kind)
{
    switch (kind) {
    case Kind::launchApp:
        return QStringLiteral("Open an app");
    case Kind::open:
        return QStringLiteral("Open a link or file");
    case Kind::shell:
        return QStringLiteral("Run a shell script");
    case Kind::appleScript:
        return QStringLiteral("Run AppleScript");
    case Kind::ai:
        return QStringLiteral("AI on selected text");
    case Kind::openRing:
        return QStringLiteral("Open a pack");
    }
    Q_UNREACHABLE();
    return {};
}

const QStringList &ItemEditorModel::commonSymbols()
{
    static const QStringList symbols{
        QStringLiteral("sparkles"),     QStringLiteral("wand.and.sparkles"),
        QStringLiteral("lightbulb"),    QStringLiteral("character.bubble"),
        QStringLiteral("text.line.first.and.arrowtriangle.forward"),
        QStringLiteral("doc.on.doc"),   QStringLiteral("terminal"),
        QStringLiteral("folder"),       QStringLiteral("link"),
        QStringLiteral("app"),          QStringLiteral("scroll"),
        QStringLiteral("camera.viewfinder"), QStringLiteral("bolt"),
        QStringLiteral("star"),         QStringLiteral("heart"),
        QStringLiteral("flag"),         QStringLiteral("bookmark"),
        QStringLiteral("paperplane"),   QStringLiteral("magnifyingglass")};
    return symbols;
}

QString ItemEditorModel::itemCountText(qsizetype count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" item") : QStringLiteral(" items"));
}

IconSpec ItemEditorModel::defaultIcon(IconSpec::Kind kind)
{
    switch (kind) {
    case IconSpec::Kind::symbol:
        return IconSpec::symbol(QStringLiteral("star"));
    case IconSpec::Kind::emoji:
        return IconSpec::emoji(QStringLiteral("\u2728"));
    case IconSpec::Kind::appIcon:
        return IconSpec::appIcon(QString());
    }
    Q_UNREACHABLE();
    return {};
}

void ItemEditorModel::edit(const std::function<void(RingItem &)> &edit)
{
    RingItem next = item_;
    edit(next);
    if (next != item_) {
        item_ = next;
        Q_EMIT itemEdited(item_);
    }
    // Also when nothing changed: a field that refused part of the input
    // shows what is stored.
    Q_EMIT changed();
}

template<typename Payload>
void ItemEditorModel::editPayload(const std::function<void(Payload &)> &edit)
{
    if (!std::holds_alternative<Payload>(item_.action.payload))
        return;
    this->edit([&](RingItem &item) { edit(std::get<Payload>(item.action.payload)); });
}

void ItemEditorModel::setTitle(const QString &title)
{
    edit([&](RingItem &item) { item.title = title; });
}

void ItemEditorModel::assignSlot(qint64 slot)
{
    if (onAssignSlot)
        onAssignSlot(slot);
    Q_EMIT changed();
}

void ItemEditorModel::changeKind(Kind kind)
{
    if (kind == item_.action.kind())
        return;
    edit([&](RingItem &item) {
        const bool placeholderTitle = RingItem::isPlaceholderTitle(item.title);
        const bool defaultSymbol = isDefaultSymbol(item.icon);
        earlierActions_.insert(item.action.kind(), item.action);
        item.action = earlierActions_.value(kind, ItemAction::defaultAction(kind));
        if (placeholderTitle)
            item.title = ItemAction::defaultTitle(kind);
        if (defaultSymbol)
            item.icon = IconSpec::symbol(ItemAction::defaultSymbol(kind));
    });
    Q_EMIT sectionChanged();
}

void ItemEditorModel::pickIconKind(IconSpec::Kind kind)
{
    if (kind == item_.icon.kind)
        return;
    edit([&](RingItem &item) { item.icon = defaultIcon(kind); });
}

void ItemEditorModel::setSymbolName(const QString &name)
{
    edit([&](RingItem &item) { item.icon = IconSpec::symbol(name); });
}

void ItemEditorModel::setEmoji(const QString &text)
{
    edit([&](RingItem &item) { item.icon = IconSpec::emoji(Text::leftGraphemes(text, emojiLength)); });
}

void ItemEditorModel::setIconBundleID(const QString &bundleID)
{
    edit([&](RingItem &item) { item.icon = IconSpec::appIcon(bundleID); });
}

QCoro::Task<> ItemEditorModel::chooseIconApp()
{
    if (!chooseApplication)
        co_return;
    const QUuid itemID = item_.id;
    const std::optional<QString> previous =
        item_.icon.kind == IconSpec::Kind::appIcon ? std::optional(item_.icon.value) : std::nullopt;
    QPointer<ItemEditorModel> self(this);
    const std::optional<ChosenApplication> chosen = co_await chooseApplication();
    if (!self || !chosen || item_.id != itemID)
        co_return;
    edit([&](RingItem &item) {
        item.icon = IconSpec::appIcon(chosen->bundleID);
        if (item.action.kind() == Kind::launchApp)
            item.title = autoTitleForApp(item.title, chosen->name, previous);
    });
}

void ItemEditorModel::setLaunchBundleID(const QString &text)
{
    editPayload<LaunchAppPayload>([&](LaunchAppPayload &payload) { payload.bundleID = present(text); });
}

void ItemEditorModel::setLaunchPath(const QString &text)
{
    editPayload<LaunchAppPayload>([&](LaunchAppPayload &payload) { payload.path = present(text); });
}

QCoro::Task<> ItemEditorModel::chooseAppForLaunch()
{
    const auto *payload = std::get_if<LaunchAppPayload>(&item_.action.payload);
    if (!chooseApplication || !payload)
        co_return;
    const QUuid itemID = item_.id;
    const std::optional<QString> previous = payload->bundleID;
    QPointer<ItemEditorModel> self(this);
    const std::optional<ChosenApplication> chosen = co_await chooseApplication();
    if (!self || !chosen || item_.id != itemID)
        co_return;
    edit([&](RingItem &item) {
        item.action = ItemAction{LaunchAppPayload{chosen->bundleID, chosen->path}};
        const bool iconFollows = iconFollowsApp(item.icon, previous);
        item.title = autoTitleForApp(item.title, chosen->name, previous);
        if (iconFollows)
            item.icon = IconSpec::appIcon(chosen->bundleID);
    });
}

void ItemEditorModel::setOpenTarget(const QString &target)
{
    editPayload<OpenPayload>([&](OpenPayload &payload) { payload.target = target; });
}

void ItemEditorModel::setShell(const QString &shell)
{
    editPayload<ShellPayload>([&](ShellPayload &payload) { payload.shell = shell; });
}

void ItemEditorModel::setScript(const QString &script)
{
    editPayload<ShellPayload>([&](ShellPayload &payload) { payload.script = script; });
}

void ItemEditorModel::setShellShowsOutput(bool show)
{
    editPayload<ShellPayload>([&](ShellPayload &payload) { payload.showOutput = show; });
}

void ItemEditorModel::setAppleScriptSource(const QString &source)
{
    editPayload<AppleScriptPayload>([&](AppleScriptPayload &payload) { payload.source = source; });
}

void ItemEditorModel::setAppleScriptShowsOutput(bool show)
{
    editPayload<AppleScriptPayload>([&](AppleScriptPayload &payload) { payload.showOutput = show; });
}

void ItemEditorModel::setSystemPrompt(const QString &prompt)
{
    editPayload<AIPayload>([&](AIPayload &payload) { payload.systemPrompt = prompt; });
}

void ItemEditorModel::setResultHandling(ResultHandling handling)
{
    editPayload<AIPayload>([&](AIPayload &payload) { payload.resultHandling = handling; });
}

void ItemEditorModel::setTargetLanguage(const QString &text)
{
    editPayload<AIPayload>([&](AIPayload &payload) { payload.targetLanguage = present(text); });
}

void ItemEditorModel::setNeedsStrongModel(bool needs)
{
    editPayload<AIPayload>([&](AIPayload &payload) { payload.needsStrongModel = needs; });
}

void ItemEditorModel::setModelOverride(const QString &text)
{
    editPayload<AIPayload>([&](AIPayload &payload) { payload.modelOverride = present(text); });
}

void ItemEditorModel::setPackTarget(const QUuid &ringID)
{
    editPayload<OpenRingPayload>([&](OpenRingPayload &payload) { payload.ringID = ringID; });
}

void ItemEditorModel::editSubRing()
{
    const auto *payload = std::get_if<OpenRingPayload>(&item_.action.payload);
    if (payload && onEditSubRing)
        onEditSubRing(payload->ringID);
}

void ItemEditorModel::saveAsPack()
{
    const auto *payload = std::get_if<OpenRingPayload>(&item_.action.payload);
    if (!payload || !packInfo().exists)
        return;
    if (onSaveAsTemplate)
        onSaveAsTemplate(payload->ringID, item_.icon);
    // Each press hides the confirmation on its own; the earliest one wins.
    hideTimers_ << scheduler_.schedule(savedConfirmationSeconds, [this] { hideSavedConfirmation(); });
    if (!didSaveTemplate_) {
        didSaveTemplate_ = true;
        Q_EMIT changed();
    }
}

void ItemEditorModel::hideSavedConfirmation()
{
    hideTimers_.removeFirst();
    if (didSaveTemplate_) {
        didSaveTemplate_ = false;
        Q_EMIT changed();
    }
}

void ItemEditorModel::turnIntoSubRing()
{
    if (onTurnIntoSubRing && canTurnIntoPack())
        onTurnIntoSubRing();
}

QString ItemEditorModel::autoTitleForApp(const QString &title, const QString &appName,
                                         const std::optional<QString> &previousBundleID) const
{
    const std::optional<QString> previousName =
        previousBundleID ? appDisplayName(catalog_, *previousBundleID) : std::nullopt;
    const QString blanks = QStringLiteral(" \t");
    const bool empty = std::all_of(title.begin(), title.end(), [&](QChar c) { return blanks.contains(c); });
    if (empty || RingItem::isPlaceholderTitle(title) || title.startsWith(QStringLiteral("New "))
        || (previousName && title == *previousName))
        return appName;
    return title;
}

bool ItemEditorModel::iconFollowsApp(const IconSpec &icon, const std::optional<QString> &previousBundleID)
{
    if (icon == IconSpec::symbol(QStringLiteral("app")))
        return true;
    return icon.kind == IconSpec::Kind::appIcon && previousBundleID && !previousBundleID->isEmpty()
        && *previousBundleID == icon.value;
}

} // namespace vima
