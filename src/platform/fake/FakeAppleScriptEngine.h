#pragma once

#include "platform/AppleScriptEngine.h"

#include <QStringList>

namespace vima {

class FakeAppleScriptEngine final : public AppleScriptEngine {
public:
    Result result{Result::Status::succeeded, {}};
    QStringList sources;

    Result execute(const QString &source) override
    {
        sources.append(source);
        return result;
    }
};

} // namespace vima
