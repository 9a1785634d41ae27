#pragma once

#include "model/UserError.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace vima {

// Why a launch, open, shell or AppleScript item failed.
class ActionError : public UserError {
public:
    enum class Kind { emptyPayload, notFound, scriptFailed };

    // `what` names the missing thing: "app", "target", "shell script", "AppleScript".
    static ActionError emptyPayload(const QString &what);
    static ActionError notFound(const QString &message);
    static ActionError scriptFailed(const QString &message);

    Kind kind() const { return kind_; }
    QString payload() const { return payload_; }

    QString description() const override;
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    ActionError(Kind kind, QString payload);

    Kind kind_;
    QString payload_;
    QByteArray utf8_;
};

} // namespace vima
