#pragma once

#include <QString>

namespace vima {

// Names from outside (the configuration, imports, desktop entries, servers,
// scripts) shown where Qt would read markup. Labels take Qt::PlainText and
// menu texts menuText(); these cover what has no plain-text switch.

// A tool tip that shows `text` literally: QToolTip renders whatever
// Qt::mightBeRichText() takes for markup, so such a text is escaped into rich
// text that reads as the original. Cut to `longestToolTip` characters first.
inline constexpr qsizetype longestToolTip = 1'000;
QString plainToolTip(const QString &text);

// A window title that shows `text` literally: QWidget takes "[*]" for the
// modified-document marker and drops it. Cut to `longestWindowTitle` characters first.
inline constexpr qsizetype longestWindowTitle = 200;
QString plainWindowTitle(const QString &text);

// `text` set apart from what it is shown with on a line (a row's name beside
// its summary and slot): a direction control inside it (an override, an
// isolate left open or closed early) and its right-to-left letters keep to
// it, and the rest of the line reads in its own order. Text that can't move
// its neighbours is returned as it is, so that it reads, and is found, as written.
QString isolated(const QString &text);

} // namespace vima
