#include "onboarding/OnboardingModel.h"

#include "model/RingTemplate.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ring/RingWindowController.h"
#include "services/FrontmostAppObserver.h"
#include "services/HotkeyManager.h"
#include "services/PermissionsService.h"
#include "settings/kit/HotkeyFailureFlag.h"
#include "settings/kit/ReplaceDefaultRing.h"
#include "settings/kit/SettingsContext.h"
#include "store/ConfigStore.h"

#include <QCoroTask>
#include <QPointer>

namespace vima {

OnboardingModel::OnboardingModel(OnboardingContext context, bool asksBeforeReplacing, QObject *parent)
    : QObject(parent)
    , context_(std::move(context))
    , asksBeforeReplacing_(asksBeforeReplacing)
    , selectedTemplateID_(RingTemplate::defaultTemplate().id)
{
    context_.settings.store.watch(this, &VimaConfig::hotkey, [this](const HotkeySpec &hotkey) {
        shownHotkey_ = hotkey;
        Q_EMIT hotkeyChanged();
    });
    connect(&context_.settings.permissions, &PermissionsService::accessibilityTrustedChanged, this,
            &OnboardingModel::accessibilityTrustedChanged);
    connect(&context_.settings.hotkeyFailure, &HotkeyFailureFlag::changed, this, &OnboardingModel::hotkeyTakenChanged);
}

OnboardingModel::~OnboardingModel() = default;

void OnboardingModel::selectTemplate(const QString &id)
{
    if (id == selectedTemplateID_)
        return;
    selectedTemplateID_ = id;
    Q_EMIT selectedTemplateIDChanged();
}

bool OnboardingModel::isAccessibilityTrusted() const
{
    return context_.settings.permissions.isAccessibilityTrusted();
}

PermissionsService::Trust OnboardingModel::accessibilityTrust() const
{
    return context_.settings.permissions.trust();
}

bool OnboardingModel::offersCheckAgain() const
{
    return !isAccessibilityTrusted() && context_.settings.permissions.canChange();
}

bool OnboardingModel::hotkeyTaken() const
{
    return context_.settings.hotkeyFailure.failed();
}

QString OnboardingModel::hotkeyText() const
{
    return HotkeyManager::displayName(shownHotkey_.keyCode, shownHotkey_.modifierFlags);
}

QString OnboardingModel::holdLine() const
{
    return QStringLiteral("Hold ") + hotkeyText()
        + QStringLiteral(", sweep to the action you want, then let go. It runs.");
}

QString OnboardingModel::tapLine() const
{
    return QStringLiteral("Or tap ") + hotkeyText()
        + QStringLiteral(" and let go. The ring stays open, so you can look before you pick.");
}

QString OnboardingModel::headerSentence() const
{
    const QString name = installedTemplateName_.value_or(RingTemplate::defaultTemplate().name);
    return QStringLiteral("Your ") + name + QStringLiteral(" ring is installed. ") + QStringLiteral("Press ")
        + hotkeyText() + QStringLiteral(" whenever you want it.");
}

QStringList OnboardingModel::previewTitles() const
{
    return RingTemplate::templateWithID(selectedTemplateID_).value_or(RingTemplate::defaultTemplate()).previewTitles();
}

QList<OnboardingModel::FooterButton> OnboardingModel::footerButtons() const
{
    switch (page_) {
    case Page::welcome:
        return {{QStringLiteral("Next"), Action::next, true, Key::returnKey}};
    case Page::ring:
        return {{QStringLiteral("Skip"), Action::skip},
                {QStringLiteral("Use This Ring"), Action::useSelectedTemplate, true, Key::returnKey}};
    case Page::ready:
        break;
    }
    const FooterButton done{QStringLiteral("Done"), Action::done, false, Key::escapeKey};
    // Nothing to grant here: without XTest the ring still works, so it is the way on.
    const QString tryTitle = isAccessibilityTrusted() ? QStringLiteral("Try It Now") : QStringLiteral("Try the Ring");
    return {done, {tryTitle, Action::tryRing, true, Key::returnKey}};
}

void OnboardingModel::trigger(Action action)
{
    switch (action) {
    case Action::back:
        goBack();
        break;
    case Action::next:
        setPage(Page::ring);
        break;
    case Action::skip:
        install(RingTemplate::defaultTemplate());
        break;
    case Action::useSelectedTemplate:
        install(RingTemplate::templateWithID(selectedTemplateID_).value_or(RingTemplate::defaultTemplate()));
        break;
    case Action::done:
        if (close)
            close();
        break;
    case Action::tryRing:
        tryRing();
        break;
    }
}

bool OnboardingModel::press(Key key)
{
    for (const FooterButton &button : footerButtons()) {
        if (button.key == key) {
            trigger(button.action);
            return true;
        }
    }
    return false;
}

void OnboardingModel::refreshAccessibility()
{
    context_.settings.permissions.recheck();
}

void OnboardingModel::openGeneralSettings()
{
    context_.settings.notifications.post(notifications::openSettings, QStringLiteral("general"));
}

void OnboardingModel::setPage(Page page)
{
    if (page == page_)
        return;
    page_ = page;
    Q_EMIT pageChanged();
}

void OnboardingModel::goBack()
{
    if (page_ == Page::ready)
        setPage(Page::ring);
    else if (page_ == Page::ring)
        setPage(Page::welcome);
}

void OnboardingModel::install(const RingTemplate &ringTemplate)
{
    ConfigStore &store = context_.settings.store;
    if (asksBeforeReplacing_ && !store.config().primaryRing().items.isEmpty()) {
        confirmAndInstall(ringTemplate);
        return;
    }
    store.applyTemplate(ringTemplate);
    showInstalled(ringTemplate);
}

void OnboardingModel::confirmAndInstall(const RingTemplate &ringTemplate)
{
    [](QPointer<OnboardingModel> self, SettingsContext &settings, QWidget *parent,
       RingTemplate chosen) -> QCoro::Task<void> {
        const bool replaced = co_await confirmReplaceDefaultRing(settings.prompts, parent, settings.store, chosen);
        if (self && replaced)
            self->showInstalled(chosen);
    }(QPointer(this), context_.settings, dialogParent, ringTemplate);
}

void OnboardingModel::showInstalled(const RingTemplate &ringTemplate)
{
    if (installedTemplateName_ != ringTemplate.name) {
        installedTemplateName_ = ringTemplate.name;
        Q_EMIT installedTemplateNameChanged();
    }
    setPage(Page::ready);
}

void OnboardingModel::tryRing()
{
    // The window goes first, so the ring opens over whatever the user was in.
    if (close)
        close();
    RingWindowController &ring = context_.ringController;
    const std::optional<QString> previousBundleID = context_.frontmost.previousBundleID();
    if (ring.isVisible())
        ring.viewModel().cancel();
    else
        ring.show(previousBundleID, false);
}

} // namespace vima
