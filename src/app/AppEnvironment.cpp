#include "app/AppEnvironment.h"

#include "actions/AIRoad.h"
#include "actions/ActionOutcome.h"
#include "actions/ActionRunner.h"
#include "actions/AskInputWindowController.h"
#include "actions/ClipboardLane.h"
#include "actions/KeystrokeRoad.h"
#include "actions/ResultWindowController.h"
#include "actions/ScriptRunner.h"
#include "actions/SelectionService.h"
#include "actions/TextInjector.h"
#include "ai/LLMService.h"
#include "ai/OllamaReachability.h"
#include "app/Platform.h"
#include "app/Theme.h"
#include "platform/AccessibilityPermission.h"
#include "platform/KeyboardGrab.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ring/Latency.h"
#include "ring/RingWindowController.h"
#include "services/BusyEscape.h"
#include "services/FrontmostAppObserver.h"
#include "services/HotkeyManager.h"
#include "services/Keychain.h"
#include "services/LoginItemService.h"
#include "services/PermissionsService.h"
#include "services/PointerTriggerMonitor.h"
#include "services/UpdateService.h"
#include "store/ConfigStore.h"
#include "ui/AppIconCache.h"

#include <QApplication>
#include <QCoroTask>
#include <QPointer>

namespace vima {

AppEnvironment::AppEnvironment(Platform &platform, const QString &configDirectory, Scheduler &scheduler,
                               NotificationCenter &notifications)
    : platform_(platform)
    , scheduler_(scheduler)
    , notifications_(notifications)
    , appIcons_(std::make_unique<AppIconCache>(platform.appIcons.get()))
{
    // Icons load off the GUI thread: the windows showing one paint it as it arrives.
    QObject::connect(appIcons_.get(), &AppIconCache::loaded, appIcons_.get(), [] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                window->update();
        }
    });
    configStore_ = std::make_unique<ConfigStore>(configDirectory, scheduler);
    configStore_->watchForOutsideEdits();
    configStore_->setDesktopOpener(platform.opener.get());
    permissions_ = std::make_unique<PermissionsService>(*platform.accessibilityPermission, scheduler);
    clipboardLane_ = std::make_unique<ClipboardLane>(scheduler);
    const DesktopAccess desktop{*platform.accessibility, *platform.pasteboard, *platform.keys,
                                *platform.activator, scheduler, *clipboardLane_};
    injector_ = std::make_unique<TextInjector>(desktop);
    keychain_ = std::make_unique<Keychain>(*platform.secrets);
    Keychain *keychain = keychain_.get();
    ollama_ = std::make_unique<OllamaReachability>(scheduler);
    llm_ = std::make_unique<LLMService>(
        [keychain](LLMProviderKind kind) { return keychain->apiKey(kind); },
        LLMService::standardProviders(LLMService::Endpoints::fromEnvironment(), *ollama_, scheduler), *ollama_);
    frontmost_ = std::make_unique<FrontmostAppObserver>(*platform.activeApplications);
    hotkeys_ = std::make_unique<HotkeyManager>(*platform.hotKeys);
    busyEscape_ = std::make_unique<BusyEscape>(*platform.hotKeys);
    loginItem_ = std::make_unique<LoginItemService>(*platform.loginItems);
    updates_ = std::make_unique<UpdateService>();
    selection_ = std::make_unique<SelectionService>(desktop, 0.6, 0.3);
    pointer_ = std::make_unique<PointerTriggerMonitor>(*platform.pointerTap, scheduler);
    scripts_ = std::make_unique<ScriptRunner>(*platform.catalog, *platform.launcher, *platform.opener,
                                              *platform.appleScript);
    actionRunner_ = std::make_unique<ActionRunner>(*scripts_);
    ConfigStore *store = configStore_.get();
    PermissionsService *permissions = permissions_.get();
    aiRoad_ = std::make_unique<AIRoad>(
        *actionRunner_,
        AIRoad::Collaborators{*selection_, *injector_, *llm_, *platform.pasteboard, *clipboardLane_,
                              [store] { return store->config().ai; },
                              [store] { return store->config().selection; },
                              [permissions] { return permissions->isAccessibilityTrusted(); },
                              [this] { openPermissions(); },
                              [this] { return readyAI(); }});
    keystrokeRoad_ = std::make_unique<KeystrokeRoad>(*actionRunner_, desktop, *platform.catalog);
    ringController_ = std::make_unique<RingWindowController>(
        *configStore_, RingWindowServices{*platform.haptics, *platform.beep, *platform.keyboard,
                                          *platform.pointerGrab, *platform.backdrop, *platform.catalog, scheduler,
                                          appIcons_.get()});
    resultController_ = std::make_unique<ResultWindowController>(scheduler);
    askInputController_ = std::make_unique<AskInputWindowController>();
    wire();
}

AppEnvironment::~AppEnvironment() = default;

void AppEnvironment::openPermissions()
{
    notifications_.post(notifications::openSettings, QStringLiteral("permissions"));
}

void AppEnvironment::wire()
{
    wireTriggers();
    wireActions();
    wireConfiguration();
}

void AppEnvironment::wireTriggers()
{
    QPointer<AppEnvironment> self(this);
    hotkeys_->onPressed = [self](std::optional<QPointF> pointer) {
        if (self)
            self->handleHotkeyPress(pointer);
    };
    hotkeys_->onReleased = [self] {
        if (self)
            self->ringController_->triggerReleased();
    };
    // While the ring holds the keyboard, the hotkey reaches the ring instead.
    ringController_->onHotkeyPressed = [self] {
        if (self)
            self->handleHotkeyPress(std::nullopt);
    };
    pointer_->onTrigger = [self](QPointF location) {
        if (self)
            self->handlePointerTrigger(location);
    };
    pointer_->isPaused = [self] { return self && self->isKeyboardHeldElsewhere(); };
    pointer_->onRelease = hotkeys_->onReleased;
    pointer_->onDrag = [self](QPointF location) {
        if (self)
            self->ringController_->pointerDragged(location);
    };
    connect(frontmost_.get(), &FrontmostAppObserver::previousAppChanged, ringController_.get(),
            &RingWindowController::applicationDeactivated);
}

void AppEnvironment::wireActions()
{
    QPointer<AppEnvironment> self(this);
    ringController_->onActivate = [self](const std::optional<RingItem> &item) {
        if (self && item)
            self->actionRunner_->run(*item, self->frontmost_->previousApp());
    };
    actionRunner_->present = [self](const ActionOutcome &outcome) {
        if (self)
            self->resultController_->show(outcome);
    };
    QPointer<AskInputWindowController> ask(askInputController_.get());
    actionRunner_->requestInput = [ask](QString question,
                                        CancellationToken token) -> QCoro::Task<std::optional<QString>> {
        if (!ask)
            co_return std::nullopt;
        co_return co_await ask->ask(question, token);
    };
    actionRunner_->postOpenSettings = [&notifications = notifications_] {
        notifications.post(notifications::openSettings);
    };
    actionRunner_->openPermissions = [self] {
        if (self)
            self->openPermissions();
    };
    connect(actionRunner_.get(), &ActionRunner::busyMessageChanged, this,
            [this](const std::optional<QString> &message) {
                busyEscape_->setBusy(message.has_value());
                if (message)
                    resultController_->showBusy(*message);
                else
                    resultController_->hideBusy();
            });
    resultController_->onCancelBusy = [self] {
        if (self)
            self->actionRunner_->cancel();
    };
    busyEscape_->onEscape = resultController_->onCancelBusy;
    resultController_->onReplace = [self](const ActionOutcome &outcome) {
        if (self)
            self->actionRunner_->replace(outcome);
    };
}

void AppEnvironment::wireConfiguration()
{
    // Each rule acts on the current value at once, then only when its own part changed.
    configStore_->watch(this, &VimaConfig::hotkey, [this](const HotkeySpec &hotkey) { applyHotkeyRule(hotkey); });
    configStore_->watch(this, [](const VimaConfig &config) { return config.appearance.theme; }, &applyTheme);
    configStore_->watch(this, &VimaConfig::pointerTrigger,
                        [this](const PointerTrigger &trigger) { applyPointerTriggerRule(trigger); });
    connect(permissions_.get(), &PermissionsService::accessibilityTrustedChanged, this,
            [this] { applyPointerTriggerRule(configStore_->config().pointerTrigger); });
}

void AppEnvironment::applyHotkeyRule(const HotkeySpec &hotkey)
{
    if (hotkey.isUsable()) {
        const bool refused = !hotkeys_->registerHotkey(hotkey.keyCode, hotkey.modifierFlags);
        setHotkeyRegistration(refused, refused);
    } else {
        hotkeys_->unregister();
        setHotkeyRegistration(true, false);
    }
}

void AppEnvironment::applyPointerTriggerRule(const PointerTrigger &trigger)
{
    pointer_->apply(trigger, platform_.accessibilityPermission->isTrusted());
}

void AppEnvironment::setHotkeyRegistration(bool failed, bool taken)
{
    if (hotkeyTaken_ != taken) {
        hotkeyTaken_ = taken;
        Q_EMIT hotkeyTakenChanged(taken);
    }
    if (hotkeyRegistrationFailed_ != failed) {
        hotkeyRegistrationFailed_ = failed;
        Q_EMIT hotkeyRegistrationFailedChanged(failed);
    }
}

std::optional<QString> AppEnvironment::frontmostRingKey() const
{
    if (auto key = configStore_->config().appRingNaming(frontmost_->previousAppNames()))
        return key;
    return frontmost_->previousBundleID();
}

void AppEnvironment::toggleRing(bool openedViaHotkey, std::optional<QPointF> pointer)
{
    if (ringController_->isVisible())
        ringController_->hide();
    else if (!isKeyboardHeldElsewhere())
        ringController_->show(frontmostRingKey(), openedViaHotkey, pointer);
}

void AppEnvironment::handleHotkeyPress(std::optional<QPointF> pointer)
{
    qCDebug(lcLatency, "hotkey pressed %lld", latencyStamp());
    toggleRing(true, pointer);
}

bool AppEnvironment::isKeyboardHeldElsewhere() const
{
    return platform_.keyboard->isGrabbed() && !ringController_->isVisible();
}

void AppEnvironment::handlePointerTrigger(QPointF location) { toggleRing(false, location); }

void AppEnvironment::start()
{
    applyHotkeyRule(configStore_->config().hotkey);
}

void AppEnvironment::prepareAI()
{
    const QPointer<AppEnvironment> self(this);
    [](QPointer<AppEnvironment> self) -> QCoro::Task<void> {
        if (self)
            co_await self->readyAI();
    }(self);
}

// A run waits for the keys only; the providers' status, for the windows, is
// probed once beside it.
QCoro::Task<void> AppEnvironment::readyAI()
{
    const QPointer<AppEnvironment> self(this);
    co_await keychain_->ensureLoaded();
    if (!self || std::exchange(aiProbed_, true))
        co_return;
    const QPointer<LLMService> llm(llm_.get());
    [](QPointer<LLMService> llm, AISettings settings) -> QCoro::Task<void> {
        if (llm)
            co_await llm->refresh(std::move(settings));
    }(llm, configStore_->config().ai);
}

} // namespace vima
