#include "services/LoginItemService.h"

#include "platform/PlatformError.h"

#include <QLoggingCategory>

namespace vima {
namespace {

Q_LOGGING_CATEGORY(loginItemLog, "com.vima.Vima.LoginItem")

} // namespace

LoginItemService::LoginItemService(LoginItemRegistry &registry, QObject *parent)
    : QObject(parent), registry_(registry), status_(registry.status())
{
}

void LoginItemService::setEnabled(bool enabled)
{
    const char *operation = enabled ? "register" : "unregister";
    try {
        if (!enabled)
            registry_.unregisterItem();
        else if (registry_.status() != LoginItemStatus::enabled)
            registry_.registerItem();
        setLastError(std::nullopt);
    } catch (const PlatformError &error) {
        qCCritical(loginItemLog, "Login-item %s failed: %s", operation, qUtf8Printable(error.description()));
        setLastError(error.description());
    }
    refresh();
}

void LoginItemService::refresh()
{
    const LoginItemStatus status = registry_.status();
    if (status == status_)
        return;
    status_ = status;
    Q_EMIT statusChanged();
}

void LoginItemService::setLastError(const std::optional<QString> &error)
{
    if (error == lastError_)
        return;
    lastError_ = error;
    Q_EMIT lastErrorChanged();
}

} // namespace vima
