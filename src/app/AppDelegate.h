#pragma once

#include "settings/SettingsTab.h"

#include <QObject>
#include <memory>
#include <optional>

class QSettings;

namespace vima {

class AppEnvironment;
class HotkeyFailureFlag;
class MenuBarController;
class NotificationCenter;
class OnboardingWindowController;
class Scheduler;
class QtUiPrompts;
class SettingsWindowController;
class SystemShortcuts;
struct Platform;
struct SettingsContext;

// The process's skeleton: builds the environment and the tray menu at launch,
// opens the settings and the first-run window on request, saves at the end.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    AppDelegate(Platform &platform, QString configDirectory, Scheduler &scheduler,
                NotificationCenter &notifications, QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    // A relaunch while running: opens the settings.
    bool applicationShouldHandleReopen();
    void applicationWillTerminate();

    void showSettings(std::optional<SettingsTab> tab = std::nullopt);
    // `isFirstLaunch`: at launch, when no configuration file existed; else on request.
    void showOnboarding(bool isFirstLaunch = false);

    AppEnvironment *environment() const { return environment_.get(); }
    MenuBarController *menuBar() const { return menuBar_.get(); }
    SettingsWindowController *settingsController() const { return settingsController_.get(); }
    OnboardingWindowController *onboardingController() const { return onboardingController_.get(); }

private:
    void makeOnboardingController();
    void buildSettingsContext();

    Platform &platform_;
    QString configDirectory_;
    Scheduler &scheduler_;
    NotificationCenter &notifications_;
    std::unique_ptr<AppEnvironment> environment_;
    std::unique_ptr<MenuBarController> menuBar_;
    // What the settings and first-run windows are given.
    std::unique_ptr<QSettings> userDefaults_;
    std::unique_ptr<SystemShortcuts> shortcuts_;
    std::unique_ptr<QtUiPrompts> prompts_;
    std::unique_ptr<HotkeyFailureFlag> hotkeyFailure_;
    std::unique_ptr<SettingsContext> settingsContext_;
    std::unique_ptr<SettingsWindowController> settingsController_;
    std::unique_ptr<OnboardingWindowController> onboardingController_;
    std::optional<quint64> settingsObserver_;
    std::optional<quint64> onboardingObserver_;
};

} // namespace vima
