#include "app/AppDelegate.h"

#include "app/AppEnvironment.h"
#include "app/Logging.h"
#include "app/MenuBarController.h"
#include "onboarding/OnboardingWindowController.h"
#include "app/Platform.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/RegularFile.h"
#include "services/SystemShortcuts.h"
#include "settings/SettingsWindowController.h"
#include "settings/items/ApplicationChooser.h"
#include "settings/kit/HotkeyFailureFlag.h"
#include "settings/kit/SettingsContext.h"
#include "store/ConfigStore.h"
#include "ui/QtUiPrompts.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSettings>

Q_LOGGING_CATEGORY(lcApp, "com.vima.Vima.App")

namespace vima {

namespace {

// Far above the few choices it holds.
constexpr qint64 largestUserDefaults = 1024 * 1024;

// QSettings would wait on a named pipe, read a file without end and write
// over whatever stands there: anything but a regular file leaves the
// defaults in use, kept nowhere, and the entry as it is.
std::unique_ptr<QSettings> openUserDefaults(const QString &path)
{
    const QFileInfo entry(path);
    QString failure;
    if ((entry.exists() || entry.isSymLink()) && !regular_file::read(path, largestUserDefaults, &failure)) {
        qCWarning(lcApp, "Using the defaults until Tavelon quits: %s", qUtf8Printable(failure));
        return std::make_unique<QSettings>(QString(), QSettings::IniFormat);
    }
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

} // namespace

AppDelegate::AppDelegate(Platform &platform, QString configDirectory, Scheduler &scheduler,
                         NotificationCenter &notifications, QObject *parent)
    : QObject(parent)
    , platform_(platform)
    , configDirectory_(std::move(configDirectory))
    , scheduler_(scheduler)
    , notifications_(notifications)
{
}

AppDelegate::~AppDelegate()
{
    // Windows first: they may refer to the environment's services.
    settingsController_.reset();
    onboardingController_.reset();
    menuBar_.reset();
    settingsContext_.reset();
    environment_.reset();
}

void AppDelegate::applicationDidFinishLaunching()
{
    environment_ = std::make_unique<AppEnvironment>(platform_, configDirectory_, scheduler_, notifications_);
    buildSettingsContext();
    QPointer<AppDelegate> self(this);
    menuBar_ = std::make_unique<MenuBarController>(*environment_, [self] {
        if (self)
            self->showSettings();
    });
    settingsObserver_ = notifications_.observe(notifications::openSettings,
                                               [self](const QVariant &object) {
        if (!self)
            return;
        std::optional<SettingsTab> tab;
        if (object.typeId() == QMetaType::QString)
            tab = settingsTabFromRawValue(object.toString());
        self->showSettings(tab);
    });
    onboardingObserver_ = notifications_.observe(notifications::showOnboarding,
                                                 [self](const QVariant &) {
        if (self)
            self->showOnboarding();
    });
    environment_->start();
    if (environment_->configStore().isFirstLaunch())
        showOnboarding(true);
    qCInfo(lcApp, "Tavelon is running");
}

void AppDelegate::buildSettingsContext()
{
    // Beside config.json, where QSettings would keep "Vima/Tavelon" by itself.
    userDefaults_ = openUserDefaults(QDir(configDirectory_).filePath(QStringLiteral("Tavelon.conf")));
    shortcuts_ = std::make_unique<SystemShortcuts>(*platform_.hotKeyProbe);
    prompts_ = std::make_unique<QtUiPrompts>(*platform_.beep);
    prompts_->applicationChooser = [catalog = platform_.catalog, icons = &environment_->appIcons()](QWidget *parent) {
        return ApplicationChooser::choose(parent, catalog, icons);
    };
    hotkeyFailure_ = std::make_unique<HotkeyFailureFlag>();
    hotkeyFailure_->setFailed(environment_->hotkeyTaken());
    connect(environment_.get(), &AppEnvironment::hotkeyTakenChanged, hotkeyFailure_.get(),
            &HotkeyFailureFlag::setFailed);
    AppEnvironment &env = *environment_;
    settingsContext_ = std::make_unique<SettingsContext>(SettingsContext{
        .store = env.configStore(),
        .permissions = env.permissions(),
        .loginItem = env.loginItem(),
        .llm = env.llm(),
        .keychain = env.keychain(),
        .shortcuts = *shortcuts_,
        .keyEventCodes = *platform_.keyEventCodes,
        .keyboard = *platform_.keyboard,
        .notifications = notifications_,
        .prompts = *prompts_,
        .hotkeyFailure = *hotkeyFailure_,
        .settings = *userDefaults_,
        .scheduler = scheduler_,
        .catalog = *platform_.catalog,
        .appIcons = env.appIcons(),
        .haptics = *platform_.haptics,
        .beep = *platform_.beep,
        .sharedCatalog = platform_.catalog,
    });
}

bool AppDelegate::applicationShouldHandleReopen()
{
    showSettings();
    return true;
}

void AppDelegate::applicationWillTerminate()
{
    if (environment_)
        environment_->configStore().saveBeforeQuit();
    if (settingsObserver_)
        notifications_.remove(*settingsObserver_);
    if (onboardingObserver_)
        notifications_.remove(*onboardingObserver_);
    settingsObserver_.reset();
    onboardingObserver_.reset();
}

void AppDelegate::showSettings(std::optional<SettingsTab> tab)
{
    if (!environment_)
        return;
    environment_->prepareAI();
    if (!settingsController_)
        settingsController_ = std::make_unique<SettingsWindowController>(*settingsContext_);
    settingsController_->show(tab);
}

void AppDelegate::showOnboarding(bool isFirstLaunch)
{
    if (!environment_)
        return;
    environment_->prepareAI();
    if (!onboardingController_)
        makeOnboardingController();
    onboardingController_->show(isFirstLaunch);
}

void AppDelegate::makeOnboardingController()
{
    onboardingController_ = std::make_unique<OnboardingWindowController>(
        OnboardingContext{*settingsContext_, environment_->frontmost(), environment_->ringController()});
}

} // namespace vima
