#include "platform/KeychainError.h"

namespace vima {

KeychainError::KeychainError(qint32 status, QString message)
    : status_(status), message_(std::move(message)), what_(description().toUtf8())
{
}

QString KeychainError::description() const
{
    const QString detail = message_.isEmpty() ? QStringLiteral("status %1").arg(status_) : message_;
    return QStringLiteral("Keyring error: ") + detail;
}

} // namespace vima
