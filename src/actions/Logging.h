#pragma once

#include <QLoggingCategory>

namespace vima {

Q_DECLARE_LOGGING_CATEGORY(lcActionRunner)
Q_DECLARE_LOGGING_CATEGORY(lcScriptRunner)
Q_DECLARE_LOGGING_CATEGORY(lcSelection)
Q_DECLARE_LOGGING_CATEGORY(lcTextInjector)

} // namespace vima
