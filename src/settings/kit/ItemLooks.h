#pragma once

#include <QString>

class QHBoxLayout;
class QLabel;

namespace vima {

class AppIconCache;
struct SavedGroup;

// The capitalised caption over a group of choices.
QLabel *sectionCaption(const QString &text);
// A saved pack's icon, its name ("Untitled" when empty) and a spacer, added
// to the caller's row.
void savedPackLabel(QHBoxLayout *row, const SavedGroup &pack, const AppIconCache *appIcons);

} // namespace vima
