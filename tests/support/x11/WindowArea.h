#pragma once

#include <QRect>
#include <QStringList>

// The content area on screen of the window xwininfo finds with `which`, as the
// X server has it: its absolute corner (xdotool's geometry is off by the title
// bar), and its size even while Qt's own idea of the frame is stale. Empty
// when it is not there.
QRect windowArea(const QStringList &which);
