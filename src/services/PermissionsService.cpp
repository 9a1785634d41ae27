#include "services/PermissionsService.h"

#include <QPointer>

namespace vima {

PermissionsService::PermissionsService(AccessibilityPermission &permission, Scheduler &scheduler, QObject *parent)
    : QObject(parent), permission_(permission), scheduler_(scheduler), trusted_(permission.isTrusted())
{
    if (permission.canChange())
        schedulePoll();
}

PermissionsService::~PermissionsService()
{
    scheduler_.cancel(pollTimer_);
}

bool PermissionsService::requestAccessibility()
{
    if (trusted_)
        return true;
    if (!hasShownSystemPrompt_) {
        permission_.showSystemPrompt();
        hasShownSystemPrompt_ = true;
    } else {
        openAccessibilitySettings();
    }
    recheck();
    return trusted_;
}

void PermissionsService::openAccessibilitySettings()
{
    permission_.openSettings();
}

void PermissionsService::schedulePoll()
{
    pollTimer_ = scheduler_.schedule(pollInterval, [self = QPointer(this)] {
        if (!self)
            return;
        self->recheck();
        self->schedulePoll();
    });
}

void PermissionsService::recheck()
{
    const bool trusted = permission_.isTrusted();
    if (trusted == trusted_)
        return;
    trusted_ = trusted;
    Q_EMIT accessibilityTrustedChanged(trusted_);
}

} // namespace vima
