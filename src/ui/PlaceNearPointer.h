#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace vima {

// Where a panel of `size` goes next to the pointer inside `visible` (the
// screen without panels and docks): centred under the pointer with its top
// edge 24 points below it (shifted by `verticalOffset`, negative = lower),
// above the pointer when there is no room below, 12 points from every edge.
// Returns the panel's top-left corner; all in screen coordinates.
QPoint placeNearPointer(const QSize &size, const QPoint &pointer, int verticalOffset, const QRect &visible);

// Moves the panel there on the screen under the pointer (else the primary
// screen); with no screen at all it is centred by the window system.
void placeNearPointer(QWidget *panel, const QPoint &pointer, int verticalOffset);

} // namespace vima
