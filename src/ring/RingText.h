#pragma once

#include <QFont>
#include <QString>

namespace vima {

// Names the ring measures, paints and announces, bounded before anything is
// measured: a title of any length costs what a short one does.
struct RingText {
    // Past this many characters nothing more of a name can be seen or heard.
    static constexpr qsizetype longestName = 200;
    // The widest a hover label's or caption's text grows, in points.
    static constexpr double widestText = 320;

    // The first `longestName` characters, marked with an ellipsis when cut.
    static QString bounded(const QString &text);
    // `bounded`, then elided to `widestText` in `font`.
    static QString elided(const QString &text, const QFont &font);
};

} // namespace vima
