#pragma once

#include <QString>

namespace vima {

// Names from outside (the configuration, imports, desktop entries, servers,
// scripts) shown where Qt would read markup. Labels take Qt::PlainText and
// menu texts menuText(); these cover what has no plain-text switch.

// A tool tip that shows `text` literally: QToolTip renders whatever
// Qt::mightBeRichText() takes for markup, so such a text is escaped into rich
// text that reads as the original.
QString plainToolTip(const QString &text);

// A window title that shows `text` literally: QWidget takes "[*]" for the
// modified-document marker and drops it.
QString plainWindowTitle(const QString &text);

} // namespace vima
