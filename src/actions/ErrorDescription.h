#pragma once

#include <QString>
#include <exception>
#include <optional>

namespace vima {

// What the user is told about an error: its own description and recovery
// suggestion when it is one of ours, else a generic text.
struct ErrorDescription {
    QString message;
    std::optional<QString> recovery;

    static ErrorDescription of(std::exception_ptr error);
};

} // namespace vima
