#include "actions/PanelText.h"

#include <QLocale>
#include <algorithm>

namespace vima {
namespace {

// Where a line too long for one layout is broken: at the last space that
// leaves most of it, else at the limit, never between the halves of a character.
qsizetype breakAt(QStringView line)
{
    const qsizetype limit = PanelText::longestLine;
    const qsizetype space = line.first(limit).lastIndexOf(u' ');
    if (space > limit * 9 / 10)
        return space + 1;
    return line.at(limit - 1).isHighSurrogate() ? limit - 1 : limit;
}

} // namespace

QString PanelText::body(const QString &text)
{
    qsizetype keep = std::min(text.size(), longestBody);
    if (keep < text.size() && text.at(keep - 1).isHighSurrogate())
        --keep;
    const QStringView kept = QStringView(text).first(keep);
    QString shown;
    shown.reserve(kept.size() + kept.size() / longestLine + 64);
    for (QStringView rest = kept; !rest.isEmpty();) {
        const qsizetype newline = rest.indexOf(u'\n');
        QStringView line = newline < 0 ? rest : rest.first(newline);
        rest = newline < 0 ? QStringView() : rest.sliced(newline + 1);
        while (line.size() > longestLine) {
            const qsizetype at = breakAt(line);
            shown += line.first(at);
            shown += u'\n';
            line = line.sliced(at);
        }
        shown += line;
        if (newline >= 0)
            shown += u'\n';
    }
    if (text.size() > kept.size()) {
        shown += QStringLiteral("\n… %1 more characters not shown.")
                     .arg(QLocale().toString(qlonglong(text.size() - kept.size())));
    }
    return shown;
}

} // namespace vima
