#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace vima {

// The Exec key of a desktop entry: its quoting rules and field codes. Works on
// the value after the file's string escapes are decoded (DesktopEntry::value).
class DesktopExec {
public:
    // What the field codes expand to.
    struct Fields {
        QList<QUrl> urls;    // %f %F (local files only) and %u %U
        QString icon;        // %i gives "--icon" and this, when set
        QString name;        // %c
        QString desktopFile; // %k
    };

    // The program and its arguments, split as GLib does: outside double
    // quotes, \x is x and '...' is literal. %f and %u take the first suitable
    // URL (launch once per URL for several). Nothing when the line is
    // malformed: an open quote, a \ at the end, an unknown field code, one
    // inside single quotes or after a \, or %F %U %i inside a longer argument.
    // Then `refusal`, when given, says why in a few words that follow "its
    // Exec line" ("has a quote that is never closed").
    static std::optional<QStringList> split(const QString &exec, const Fields &fields = {},
                                            QString *refusal = nullptr);

    // One argument as an Exec line must write it: quoted when it holds a
    // reserved character, with "%" doubled.
    static QString quote(const QString &argument);
    // A whole command line from arguments.
    static QString join(const QStringList &arguments);
};

} // namespace vima
