#include "actions/ActionError.h"

namespace vima {

ActionError::ActionError(Kind kind, QString payload)
    : kind_(kind), payload_(std::move(payload)), utf8_(description().toUtf8())
{
}

ActionError ActionError::emptyPayload(const QString &what) { return {Kind::emptyPayload, what}; }
ActionError ActionError::notFound(const QString &message) { return {Kind::notFound, message}; }
ActionError ActionError::scriptFailed(const QString &message) { return {Kind::scriptFailed, message}; }

QString ActionError::description() const
{
    switch (kind_) {
    case Kind::emptyPayload:
        return QStringLiteral("This item has no %1 configured.").arg(payload_);
    case Kind::notFound:
    case Kind::scriptFailed:
        return payload_;
    }
    return payload_;
}

} // namespace vima
