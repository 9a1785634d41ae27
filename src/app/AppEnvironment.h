#pragma once

#include "model/Settings.h"

#include <QCoroTask>
#include <QObject>
#include <QPointF>
#include <memory>
#include <optional>

namespace vima {

class AIRoad;
class KeystrokeRoad;
class AppIconCache;
class ActionRunner;
class AskInputWindowController;
class BusyEscape;
class ClipboardLane;
class ConfigStore;
class FrontmostAppObserver;
class HotkeyManager;
class Keychain;
class LLMService;
class LoginItemService;
class NotificationCenter;
class OllamaReachability;
class PermissionsService;
class PointerTriggerMonitor;
class ResultWindowController;
class RingWindowController;
class Scheduler;
class ScriptRunner;
class SelectionService;
class TextInjector;
class UpdateService;
struct ActionOutcome;
struct Platform;

// The composition root: builds every long-lived service and panel once, in a
// fixed order, and installs every callback between them. Nothing else finds a
// service by itself.
class AppEnvironment final : public QObject {
    Q_OBJECT

public:
    // `configDirectory` holds "config.json" (the XDG config home's "Vima").
    AppEnvironment(Platform &platform, const QString &configDirectory, Scheduler &scheduler,
                   NotificationCenter &notifications);
    ~AppEnvironment() override;

    // Registers the configured hotkey.
    void start();
    // Reads the API keys and probes the AI providers, once: the keyring and
    // the network are first touched when AI is first used, so an agent that
    // never runs AI keeps neither in memory. Windows that show AI call it.
    void prepareAI();

    bool hotkeyRegistrationFailed() const { return hotkeyRegistrationFailed_; }
    // The system refused a hotkey that has a modifier: another application
    // holds it. One without a modifier fails registration but is not taken.
    bool hotkeyTaken() const { return hotkeyTaken_; }

    ConfigStore &configStore() const { return *configStore_; }
    const AppIconCache &appIcons() const { return *appIcons_; }
    PermissionsService &permissions() const { return *permissions_; }
    TextInjector &injector() const { return *injector_; }
    Keychain &keychain() const { return *keychain_; }
    LLMService &llm() const { return *llm_; }
    FrontmostAppObserver &frontmost() const { return *frontmost_; }
    HotkeyManager &hotkeys() const { return *hotkeys_; }
    LoginItemService &loginItem() const { return *loginItem_; }
    UpdateService &updates() const { return *updates_; }
    SelectionService &selection() const { return *selection_; }
    PointerTriggerMonitor &pointer() const { return *pointer_; }
    ActionRunner &actionRunner() const { return *actionRunner_; }
    RingWindowController &ringController() const { return *ringController_; }
    ResultWindowController &resultController() const { return *resultController_; }
    AskInputWindowController &askInputController() const { return *askInputController_; }

    // The hotkey's press (or the pointer trigger's): hide an open ring, else
    // open it for the application the user was in.
    void handleHotkeyPress(std::optional<QPointF> pointer);
    void handlePointerTrigger(QPointF location);
    // The one toggle of the hotkey, the pointer trigger and the tray: hides an
    // open ring, else opens it for the application the user was in, unless
    // another of our windows holds the keyboard.
    // `pointer`: where it was when the user asked, if known.
    void toggleRing(bool openedViaHotkey, std::optional<QPointF> pointer = std::nullopt);
    // The settings at the Permissions tab, which says what reading and pasting lack.
    void openPermissions();

Q_SIGNALS:
    void hotkeyRegistrationFailedChanged(bool failed);
    void hotkeyTakenChanged(bool taken);

private:
    // What the application the user was in goes by among the app rings: the
    // id of a ring made for it under another name, else its own desktop id.
    std::optional<QString> frontmostRingKey() const;
    void wire();
    void wireTriggers();
    void wireActions();
    void wireConfiguration();
    void applyHotkeyRule(const HotkeySpec &hotkey);
    void applyPointerTriggerRule(const PointerTrigger &trigger);
    void setHotkeyRegistration(bool failed, bool taken);
    // Another of our windows holds the keyboard: the hotkey recorder, while it
    // records. The hotkey's passive grab cannot fire then, and the long
    // right-click and the menu leave the ring shut too, or the ring's grab and
    // its release would end the recorder's.
    bool isKeyboardHeldElsewhere() const;
    QCoro::Task<void> readyAI();

    Platform &platform_;
    Scheduler &scheduler_;
    NotificationCenter &notifications_;
    std::unique_ptr<AppIconCache> appIcons_;
    std::unique_ptr<ConfigStore> configStore_;
    std::unique_ptr<PermissionsService> permissions_;
    std::unique_ptr<ClipboardLane> clipboardLane_;
    std::unique_ptr<TextInjector> injector_;
    std::unique_ptr<Keychain> keychain_;
    std::unique_ptr<OllamaReachability> ollama_;
    std::unique_ptr<LLMService> llm_;
    std::unique_ptr<FrontmostAppObserver> frontmost_;
    std::unique_ptr<HotkeyManager> hotkeys_;
    std::unique_ptr<BusyEscape> busyEscape_;
    std::unique_ptr<LoginItemService> loginItem_;
    std::unique_ptr<UpdateService> updates_;
    std::unique_ptr<SelectionService> selection_;
    std::unique_ptr<PointerTriggerMonitor> pointer_;
    std::unique_ptr<ScriptRunner> scripts_;
    std::unique_ptr<ActionRunner> actionRunner_;
    std::unique_ptr<AIRoad> aiRoad_;
    std::unique_ptr<KeystrokeRoad> keystrokeRoad_;
    std::unique_ptr<RingWindowController> ringController_;
    std::unique_ptr<ResultWindowController> resultController_;
    std::unique_ptr<AskInputWindowController> askInputController_;

    bool hotkeyRegistrationFailed_ = false;
    bool hotkeyTaken_ = false;
    bool aiProbed_ = false;
};

} // namespace vima
