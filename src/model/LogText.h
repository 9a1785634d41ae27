#pragma once

#include <QString>
#include <QStringView>

namespace vima {

// The log is often a terminal: text from outside (a server's error, a title, a
// file name, a script's output) must neither steer it nor hide from its reader.
class LogText final {
public:
    // `text` with control characters written out (\e, \a, \n, \t, \x9b …) and
    // invisible formatting, bidi overrides included, as \u{202e}.
    static QString escaped(QStringView text);
    // From now on every message of the process, Qt's own included, is escaped
    // before the handler that was in place writes it.
    static void install();
};

} // namespace vima
