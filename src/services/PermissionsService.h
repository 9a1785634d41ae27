#pragma once

#include "async/Scheduler.h"
#include "platform/AccessibilityPermission.h"

#include <QObject>

namespace vima {

// Publishes whether we are trusted for Accessibility, polled every two
// seconds, and asks for the grant: the system's prompt once per run, the
// settings page after that.
class PermissionsService : public QObject {
    Q_OBJECT

public:
    static constexpr double pollInterval = 2.0;

    explicit PermissionsService(AccessibilityPermission &permission,
                                Scheduler &scheduler = Scheduler::system(), QObject *parent = nullptr);
    ~PermissionsService() override;

    bool isAccessibilityTrusted() const { return trusted_; }

    // Asks for the grant when it is missing; the trust flag afterwards.
    bool requestAccessibility();
    void openAccessibilitySettings();
    bool canOpenAccessibilitySettings() const { return permission_.hasSettings(); }
    // Reads the trust again now; publishes it only when it changed.
    void recheck();

Q_SIGNALS:
    void accessibilityTrustedChanged(bool trusted);

private:
    void schedulePoll();

    AccessibilityPermission &permission_;
    Scheduler &scheduler_;
    Scheduler::TimerId pollTimer_ = 0;
    bool trusted_ = false;
    bool hasShownSystemPrompt_ = false;
};

} // namespace vima
