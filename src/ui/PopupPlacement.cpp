#include "ui/PopupPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vima {

namespace {

bool fitsAt(int left, int width, const QRect &available)
{
    return left >= available.left() && left + width - 1 <= available.right();
}

int clampedStart(int start, int length, int first, int last)
{
    return std::max(first, std::min(start, last - length + 1));
}

} // namespace

QPoint popupPosition(const QRect &anchor, const QSize &size, const QRect &available, PopupSide preferred, int gap)
{
    const int before = anchor.left() - gap - size.width();
    const int after = anchor.right() + 1 + gap;
    const int first = preferred == PopupSide::leading ? before : after;
    const int second = preferred == PopupSide::leading ? after : before;
    int left = preferred == PopupSide::leading ? anchor.left() : anchor.right() + 1 - size.width();
    if (fitsAt(first, size.width(), available))
        left = first;
    else if (fitsAt(second, size.width(), available))
        left = second;
    const int top = anchor.center().y() - size.height() / 2;
    return {clampedStart(left, size.width(), available.left(), available.right()),
            clampedStart(top, size.height(), available.top(), available.bottom())};
}

void placePopup(QWidget *popup, QWidget *reference, const QRect &anchor, PopupSide preferred)
{
    const QRect global(reference->mapToGlobal(anchor.topLeft()), anchor.size());
    const QScreen *screen = QGuiApplication::screenAt(global.center());
    if (!screen)
        screen = reference->screen();
    const QRect available = screen ? screen->availableGeometry() : global;
    popup->move(popupPosition(global, popup->size(), available, preferred));
}

} // namespace vima
