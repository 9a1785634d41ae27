#pragma once

#include "model/UserError.h"

#include <QString>

namespace vima {

// A failure of the desktop (a program that would not start, nothing that could
// open a file), described for the user.
class PlatformError : public UserError {
public:
    explicit PlatformError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

    QString description() const override { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

} // namespace vima
