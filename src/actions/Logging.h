#pragma once

#include <QLoggingCategory>
#include <QString>

namespace vima {

Q_DECLARE_LOGGING_CATEGORY(lcActionRunner)
Q_DECLARE_LOGGING_CATEGORY(lcScriptRunner)
Q_DECLARE_LOGGING_CATEGORY(lcSelection)
Q_DECLARE_LOGGING_CATEGORY(lcTextInjector)

// An action's failure, one line in the log, its title cut as a panel cuts it.
void logActionFailure(const QString &title, const QString &message);

} // namespace vima
