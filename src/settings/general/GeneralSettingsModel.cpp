#include "settings/general/GeneralSettingsModel.h"

#include "model/JsonError.h"
#include "model/UserError.h"
#include "platform/MissingFileManager.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UiPrompts.h"
#include "services/LoginItemService.h"
#include "services/PermissionsService.h"
#include "settings/kit/ReplaceDefaultRing.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/ShownName.h"
#include "settings/kit/SlotCountRule.h"
#include "store/ConfigStore.h"
#include "store/FileError.h"

#include <QPointer>

namespace vima {

namespace {

// The description of whatever exporting or importing threw.
QString describe(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const FileError &e) {
        return e.description();
    } catch (const JsonError &e) {
        return e.description();
    } catch (const UserError &e) {
        return e.description();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
}

// None when `step` ran through, else `failure` and what went wrong.
template <typename Step>
std::optional<QString> failureOf(const QString &failure, Step step)
{
    try {
        step();
        return std::nullopt;
    } catch (...) {
        return failure + describe(std::current_exception());
    }
}

} // namespace

const QString GeneralSettingsModel::showOnboardingNotification = QStringLiteral("com.vima.Vima.showOnboarding");
const QList<qint64> GeneralSettingsModel::slotCounts{4, 6, 8, 10, 12};

GeneralSettingsModel::GeneralSettingsModel(SettingsContext &context, QObject *parent)
    : QObject(parent), context_(context), selectedTemplateID_(RingTemplate::defaultTemplate().id)
{
    ConfigStore &store = context_.store;
    store.watch(this, &VimaConfig::hotkey, [this](const HotkeySpec &) { Q_EMIT hotkeyReservationChanged(); });
    store.watch(this, [](const VimaConfig &config) { return config.pointerTrigger.enabled; },
                [this](bool) { Q_EMIT accessibilityWarningChanged(); });
    store.watch(this, [](const VimaConfig &config) { return config.appRings(); },
                [this](const QList<Ring> &) { Q_EMIT appRingsChanged(); });
    connect(&context_.permissions, &PermissionsService::accessibilityTrustedChanged, this,
            &GeneralSettingsModel::accessibilityWarningChanged);
    connect(&context_.loginItem, &LoginItemService::statusChanged, this, &GeneralSettingsModel::loginChanged);
    connect(&context_.loginItem, &LoginItemService::lastErrorChanged, this, &GeneralSettingsModel::loginChanged);
}

void GeneralSettingsModel::tabShown() { context_.loginItem.refresh(); }

std::optional<SystemShortcuts::Reservation> GeneralSettingsModel::hotkeyReservation() const
{
    const HotkeySpec &hotkey = context_.store.config().hotkey;
    return context_.shortcuts.reservation(hotkey.keyCode, hotkey.modifierFlags);
}

bool GeneralSettingsModel::isLaunchAtLoginOn() const { return context_.loginItem.isEnabled(); }

void GeneralSettingsModel::setLaunchAtLogin(bool on)
{
    context_.loginItem.setEnabled(on);
    // A failure like the last one publishes nothing new, yet the box the user
    // just clicked must fall back to what the service holds.
    Q_EMIT loginChanged();
}

GeneralSettingsModel::LoginNote GeneralSettingsModel::loginNote() const
{
    const LoginItemService &login = context_.loginItem;
    if (login.lastError())
        return {LoginNote::Kind::error, *login.lastError()};
    return {LoginNote::Kind::caption,
            QStringLiteral("Tavelon is a tray app, so it just reappears in the tray on login. It starts from an XDG "
                           "autostart entry, which your desktop's startup settings can also turn off.")};
}

bool GeneralSettingsModel::showsAccessibilityWarning() const
{
    return context_.store.config().pointerTrigger.enabled && !context_.permissions.isAccessibilityTrusted();
}

void GeneralSettingsModel::openPermissions()
{
    context_.notifications.post(notifications::openSettings, QStringLiteral("permissions"));
}

bool GeneralSettingsModel::acceptsSlotCount(qint64 count, QWidget *parent)
{
    const std::optional<QString> refusal = SlotCountRule::refusal(context_.store.config(), count);
    if (!refusal)
        return true;
    context_.prompts.beep();
    context_.prompts.alert(parent, QStringLiteral("%1 slots would hide items").arg(count), *refusal);
    return false;
}

void GeneralSettingsModel::slotCountEdited() { context_.store.normalizeSlots(); }

QList<GeneralSettingsModel::AppRingChip> GeneralSettingsModel::appRingChips() const
{
    QList<AppRingChip> chips;
    for (const Ring &ring : context_.store.config().appRings())
        chips.append({ring.id, ring.bundleIDMatch.value_or(QString()),
                      shownName(ring.name)});
    return chips;
}

void GeneralSettingsModel::setSelectedTemplateID(const QString &id)
{
    if (selectedTemplateID_ == id)
        return;
    selectedTemplateID_ = id;
    Q_EMIT selectedTemplateChanged();
}

std::optional<RingTemplate> GeneralSettingsModel::selectedTemplate() const
{
    return RingTemplate::templateWithID(selectedTemplateID_);
}

QString GeneralSettingsModel::previewLine(const RingTemplate &ringTemplate)
{
    return ringTemplate.previewTitles().join(QStringLiteral(" · "));
}

QCoro::Task<void> GeneralSettingsModel::replaceDefaultRing(QWidget *parent)
{
    const std::optional<RingTemplate> chosen = selectedTemplate();
    if (chosen)
        co_await confirmReplaceDefaultRing(context_.prompts, parent, context_.store, *chosen);
}

void GeneralSettingsModel::showIntroduction() { context_.notifications.post(showOnboardingNotification); }

QString GeneralSettingsModel::configPath() const { return context_.store.filePath(); }

QCoro::Task<void> GeneralSettingsModel::revealConfig()
{
    QPointer<GeneralSettingsModel> self(this);
    std::optional<QString> failure;
    try {
        co_await context_.store.revealInFinder();
    } catch (const MissingFileManager &) {
        failure = MissingFileManager(QStringLiteral("Reveal")).description();
    } catch (const PlatformError &error) {
        failure = QStringLiteral("Reveal failed: ") + error.description();
    }
    if (self)
        setImportError(failure);
}

QCoro::Task<void> GeneralSettingsModel::exportConfig(QWidget *parent)
{
    QPointer<GeneralSettingsModel> self(this);
    const std::optional<QString> destination =
        co_await context_.prompts.chooseJsonFileToSave(parent, QStringLiteral("vima-config.json"));
    if (!self || !destination)
        co_return;
    setImportError(failureOf(QStringLiteral("Export failed: "), [&] { context_.store.exportConfig(*destination); }));
}

QCoro::Task<void> GeneralSettingsModel::importConfig(QWidget *parent)
{
    QPointer<GeneralSettingsModel> self(this);
    const std::optional<QString> source = co_await context_.prompts.chooseJsonFileToOpen(parent);
    if (!self || !source)
        co_return;
    setImportError(failureOf(QStringLiteral("Import failed: "), [&] { context_.store.importConfig(*source); }));
}

QCoro::Task<void> GeneralSettingsModel::confirmReset(QWidget *parent)
{
    QPointer<GeneralSettingsModel> self(this);
    const bool confirmed = co_await context_.prompts.confirm(
        parent, QStringLiteral("Reset all settings?"),
        QStringLiteral("Your items, hotkey and preferences go back to the defaults, and your saved packs are deleted. "
                       "A copy of the current config.json is kept beside it first. Saved API keys are not affected."),
        QStringLiteral("Reset"));
    if (self && confirmed)
        context_.store.resetToDefaults();
}

void GeneralSettingsModel::setImportError(const std::optional<QString> &error)
{
    if (importError_ == error)
        return;
    importError_ = error;
    Q_EMIT importErrorChanged();
}

} // namespace vima
