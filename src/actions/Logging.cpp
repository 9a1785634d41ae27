#include "actions/Logging.h"

#include "actions/PanelText.h"
#include "model/Text.h"

namespace vima {

Q_LOGGING_CATEGORY(lcActionRunner, "com.vima.Vima.ActionRunner")
Q_LOGGING_CATEGORY(lcScriptRunner, "com.vima.Vima.ScriptRunner")
Q_LOGGING_CATEGORY(lcSelection, "com.vima.Vima.Selection")
Q_LOGGING_CATEGORY(lcTextInjector, "com.vima.Vima.TextInjector")

void logActionFailure(const QString &title, const QString &message)
{
    qCCritical(lcActionRunner, "%s failed: %s", qUtf8Printable(Text::cut(title, PanelText::longestTitle)),
               qUtf8Printable(message));
}

} // namespace vima
