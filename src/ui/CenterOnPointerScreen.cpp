#include "ui/CenterOnPointerScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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
    window->move(visible.x() + (visible.width() - size.width()) / 2,
                 visible.y() + (visible.height() - size.height()) / 2);
}

} // namespace vima
