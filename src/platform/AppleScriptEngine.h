#pragma once

#include <QString>

namespace vima {

// Runs AppleScript source synchronously.
class AppleScriptEngine {
public:
    struct Result {
        enum class Status { succeeded, notCompiled, failed };
        Status status = Status::failed;
        // The result's text on success; the error message on failure (empty
        // when the engine gave none).
        QString text;
    };

    virtual ~AppleScriptEngine() = default;

    virtual Result execute(const QString &source) = 0;
};

} // namespace vima
