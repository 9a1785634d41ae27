#pragma once

#include "async/Scheduler.h"
#include "platform/AccessibilityPermission.h"

#include <QObject>

namespace vima {

// Publishes whether we are trusted for Accessibility, and why not, polled
// every two seconds where it can change. Nothing asks for it: the trust comes
// with the session.
class PermissionsService : public QObject {
    Q_OBJECT

public:
    using Trust = AccessibilityPermission::Trust;
    static constexpr double pollInterval = 2.0;

    explicit PermissionsService(AccessibilityPermission &permission,
                                Scheduler &scheduler = Scheduler::system(), QObject *parent = nullptr);
    ~PermissionsService() override;

    Trust trust() const { return trust_; }
    bool isAccessibilityTrusted() const { return trust_ == Trust::trusted; }
    // Whether reading the trust again could give another answer.
    bool canChange() const { return permission_.canChange(); }

    // Reads the trust again now; publishes it only when it changed.
    void recheck();

Q_SIGNALS:
    // The trust or the reason it is missing changed.
    void accessibilityTrustedChanged(bool trusted);

private:
    void schedulePoll();

    AccessibilityPermission &permission_;
    Scheduler &scheduler_;
    Scheduler::TimerId pollTimer_ = 0;
    Trust trust_;
};

} // namespace vima
