#include "actions/Logging.h"

namespace vima {

Q_LOGGING_CATEGORY(lcActionRunner, "com.vima.Vima.ActionRunner")
Q_LOGGING_CATEGORY(lcScriptRunner, "com.vima.Vima.ScriptRunner")
Q_LOGGING_CATEGORY(lcSelection, "com.vima.Vima.Selection")
Q_LOGGING_CATEGORY(lcTextInjector, "com.vima.Vima.TextInjector")

} // namespace vima
