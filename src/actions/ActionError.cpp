#include "actions/ActionError.h"

namespace vima {

ActionError::ActionError(Kind kind, QString payload)
    : kind_(kind), payload_(std::move(payload)), utf8_(description().toUtf8())
{
}

ActionError ActionError::emptyPayload(const QString &what) { return {Kind::emptyPayload, what}; }
ActionError ActionError::notFound(const QString &message) { return {Kind::notFound, message}; }
ActionError ActionError::scriptFailed(const QString &message) { return {Kind::scriptFailed, message}; }
ActionError ActionError::unavailableInAppStore() { return {Kind::unavailableInAppStore, {}}; }

QString ActionError::description() const
{
    switch (kind_) {
    case Kind::emptyPayload:
        return QStringLiteral("This item has no %1 configured.").arg(payload_);
    case Kind::notFound:
    case Kind::scriptFailed:
        return payload_;
    case Kind::unavailableInAppStore:
        return QStringLiteral("Not available in the App Store version.");
    }
    return payload_;
}

std::optional<QString> ActionError::recoverySuggestion() const
{
    if (kind_ != Kind::unavailableInAppStore)
        return std::nullopt;
    return QStringLiteral(
        "Shell and AppleScript actions need access the App Store sandbox doesn't allow. The item is "
        "kept exactly as it is, so it will work again in the direct download of Tavelon.");
}

} // namespace vima
