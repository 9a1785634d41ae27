#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace vima {

// Which side of its anchor a popup prefers.
enum class PopupSide { leading, trailing };

// Where a popup of `size` goes beside `anchor`: `gap` points off the
// preferred side when it fits inside `available`, else off the other side,
// else over the anchor against its preferred edge; vertically centred on the anchor. The result always
// lies inside `available` (its top-left corner when the popup is larger).
// Returns the popup's top-left corner; all in screen coordinates.
QPoint popupPosition(const QRect &anchor, const QSize &size, const QRect &available, PopupSide preferred,
                     int gap = 8);

// Moves `popup` beside `anchor` (in `reference`'s coordinates), inside the
// available area of the screen that holds the anchor.
void placePopup(QWidget *popup, QWidget *reference, const QRect &anchor, PopupSide preferred);

} // namespace vima
