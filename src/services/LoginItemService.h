#pragma once

#include "platform/LoginItemRegistry.h"

#include <QObject>
#include <QString>
#include <optional>

namespace vima {

// Launching at login: publishes the login item's status and turns it on or
// off. Failures are kept in `lastError` for the views; nothing is thrown.
class LoginItemService : public QObject {
    Q_OBJECT

public:
    explicit LoginItemService(LoginItemRegistry &registry, QObject *parent = nullptr);

    bool isEnabled() const { return status_ == LoginItemStatus::enabled; }
    LoginItemStatus status() const { return status_; }
    const std::optional<QString> &lastError() const { return lastError_; }

    void setEnabled(bool enabled);
    void refresh();

Q_SIGNALS:
    void statusChanged();
    void lastErrorChanged();

private:
    void setLastError(const std::optional<QString> &error);

    LoginItemRegistry &registry_;
    LoginItemStatus status_;
    std::optional<QString> lastError_;
};

} // namespace vima
