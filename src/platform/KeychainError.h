#pragma once

#include "model/UserError.h"

#include <QByteArray>
#include <QString>

namespace vima {

// A failed call to the secret store: its status and the system's message
// for it (empty when the system has none).
class KeychainError : public UserError {
public:
    explicit KeychainError(qint32 status, QString message = {});

    qint32 status() const { return status_; }
    const QString &message() const { return message_; }
    // "Keyring error: " and the message, else "status " and the number.
    QString description() const override;
    const char *what() const noexcept override { return what_.constData(); }

private:
    qint32 status_;
    QString message_;
    QByteArray what_;
};

} // namespace vima
