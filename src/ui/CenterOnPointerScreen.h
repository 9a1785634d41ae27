#pragma once

#include <QPoint>

class QWidget;

namespace vima {

// Moves `window` (keeping its size) to the middle of the available area of
// the first screen that holds `point` (global coordinates), else of the
// primary screen; a window larger than that area has its top-left corner,
// and so its title bar, at the area's. With no screen at all the window
// system places it.
void centerOnPointerScreen(QWidget *window, QPoint point);

} // namespace vima
