#pragma once

#include "platform/AppleScriptEngine.h"

namespace vima {

// There is no AppleScript on Linux: every script fails with a message that
// says so. Items keep their scripts untouched.
class UnavailableAppleScriptEngine final : public AppleScriptEngine {
public:
    Result execute(const QString &) override
    {
        return {Result::Status::failed, QStringLiteral("AppleScript isn't available on this system.")};
    }
};

} // namespace vima
