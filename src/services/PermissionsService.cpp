#include "services/PermissionsService.h"

#include <QPointer>

namespace vima {

PermissionsService::PermissionsService(AccessibilityPermission &permission, Scheduler &scheduler, QObject *parent)
    : QObject(parent), permission_(permission), scheduler_(scheduler), trust_(permission.trust())
{
    if (permission.canChange())
        schedulePoll();
}

PermissionsService::~PermissionsService()
{
    scheduler_.cancel(pollTimer_);
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
    const Trust trust = permission_.trust();
    if (trust == trust_)
        return;
    trust_ = trust;
    Q_EMIT accessibilityTrustedChanged(isAccessibilityTrusted());
}

} // namespace vima
