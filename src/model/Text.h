#pragma once

#include <QString>
#include <QStringList>

namespace vima {

// Text as the user sees it: user-perceived characters (grapheme clusters),
// so that "\r\n", an accented letter or a flag counts as one character.
// A character of more than `longestCharacter` code points (no writing needs
// one: a letter buried under a million accents) is taken as pieces of that
// many, and a cut ends inside it: no walk reads far past what it keeps.
class Text {
public:
    static constexpr qsizetype longestCharacter = 32;

    static QStringList graphemes(const QString &text);
    static qsizetype graphemeCount(const QString &text);
    // The first `count` user-perceived characters (ending inside one too long
    // to keep whole).
    static QString leftGraphemes(const QString &text, qsizetype count);

    // The first `limit` user-perceived characters, then "…" when cut (also
    // inside a character too long to keep whole). Only what can be kept is
    // read: a text of any length costs what a short one does.
    static QString cut(const QString &text, qsizetype limit);

    // The first non-empty line (lines split at line feeds only), cut to
    // `limit` user-perceived characters followed by "…" when longer. A long
    // line costs what a short one does: reading stops after `limit` + 1 characters.
    static QString firstLineCut(const QString &text, qsizetype limit = 60);

    // Without white space and line breaks at either end.
    static QString trimmed(const QString &text);
    // Nothing but white space and line breaks.
    static bool isBlank(const QString &text);
};

} // namespace vima
