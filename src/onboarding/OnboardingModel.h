#pragma once

#include "model/Settings.h"
#include "onboarding/OnboardingContext.h"
#include "services/PermissionsService.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace vima {

struct RingTemplate;

// The first-run window's state and rules: which page shows, the chosen and
// the installed template, the footer's buttons and what each does.
class OnboardingModel final : public QObject {
    Q_OBJECT

public:
    enum class Page { welcome, ring, ready };
    enum class Action { back, next, skip, useSelectedTemplate, done, tryRing };
    enum class Key { none, returnKey, escapeKey };
    struct FooterButton {
        QString title;
        Action action;
        bool prominent = false;
        Key key = Key::none;
        bool operator==(const FooterButton &) const = default;
    };

    // A window opened again by the user asks before it replaces a default
    // ring that has items; the first launch installs without asking.
    OnboardingModel(OnboardingContext context, bool asksBeforeReplacing, QObject *parent = nullptr);
    ~OnboardingModel() override;

    // Closes the window; installed by the window.
    std::function<void()> close;
    // The window the replace confirmation is modal to.
    QWidget *dialogParent = nullptr;

    bool asksBeforeReplacing() const { return asksBeforeReplacing_; }
    Page page() const { return page_; }
    const QString &selectedTemplateID() const { return selectedTemplateID_; }
    void selectTemplate(const QString &id);
    const std::optional<QString> &installedTemplateName() const { return installedTemplateName_; }
    bool isAccessibilityTrusted() const;
    PermissionsService::Trust accessibilityTrust() const;
    // "Check Again" only while the trust is missing and could still come.
    bool offersCheckAgain() const;
    // The hotkey could not be registered (another program holds it).
    bool hotkeyTaken() const;

    // Texts built from the live configuration and the state above.
    QString hotkeyText() const;
    QString holdLine() const;
    QString tapLine() const;
    QString headerSentence() const;
    QStringList previewTitles() const;

    // The footer: "Back" on the left when shown, the page's buttons on the right.
    bool showsBack() const { return page_ != Page::welcome; }
    QList<FooterButton> footerButtons() const;
    void trigger(Action action);
    // Return and Escape: the button that answers the key, if any.
    bool press(Key key);

    // The ready page came on screen, or "Check Again": the trust is read afresh.
    void refreshAccessibility();
    void openGeneralSettings();

Q_SIGNALS:
    void pageChanged();
    void selectedTemplateIDChanged();
    void installedTemplateNameChanged();
    void accessibilityTrustedChanged();
    void hotkeyChanged();
    void hotkeyTakenChanged();

private:
    void setPage(Page page);
    void goBack();
    void install(const RingTemplate &ringTemplate);
    void confirmAndInstall(const RingTemplate &ringTemplate);
    void showInstalled(const RingTemplate &ringTemplate);
    void tryRing();

    OnboardingContext context_;
    bool asksBeforeReplacing_;
    Page page_ = Page::welcome;
    QString selectedTemplateID_;
    std::optional<QString> installedTemplateName_;
    HotkeySpec shownHotkey_;
};

} // namespace vima
