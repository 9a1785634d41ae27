#include "ui/CenterOnPointerScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vima {

void centerOnPointerScreen(QWidget *window, QPoint point)
{
    QScreen *screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect visible = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    // Larger than the screen, it keeps its top-left corner there: its title
    // bar stays on the screen to move it by.
    window->move(std::max(visible.x(), visible.x() + (visible.width() - size.width()) / 2),
                 std::max(visible.y(), visible.y() + (visible.height() - size.height()) / 2));
}

} // namespace vima
