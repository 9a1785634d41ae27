#include "ring/RingPanel.h"

#include "ring/Latency.h"
#include "ring/RingView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>
#ifdef __GLIBC__
#include <malloc.h>
#endif

// Off unless turned on: QT_LOGGING_RULES="com.vima.Vima.Latency.debug=true".
Q_LOGGING_CATEGORY(lcLatency, "com.vima.Vima.Latency", QtWarningMsg)

namespace vima {

RingPanel::RingPanel(RingView *view) : view_(view)
{
    // Mapped at once, above everything, like a pop-up menu: no window manager
    // in the way on the hotkey's road, and none to give it focus.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus | Qt::BypassWindowManagerHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Tavelon Ring"));
    view_->setParent(this);
}

void RingPanel::setBackdrop(const QPixmap &picture)
{
    backdrop_ = picture;
    update();
}

void RingPanel::moveOver(const QRect &area, QPixmap picture)
{
    if (!picture.isNull() && isVisible() && hasBackdrop()) {
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(geometry().topLeft() - area.topLeft(), backdrop_);
    }
    backdrop_ = std::move(picture);
    setGeometry(area);
    update();
}

void RingPanel::setIgnoresMouseEvents(bool ignores)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, ignores);
    view_->setAttribute(Qt::WA_TransparentForMouseEvents, ignores);
    // The window's input shape too, so that clicks reach other applications
    // while the ring fades out.
    if (QWindow *window = windowHandle())
        window->setFlag(Qt::WindowTransparentForInput, ignores);
}

void RingPanel::hideAndRelease()
{
    hide();
    backdrop_ = QPixmap();
#ifdef __GLIBC__
    // Freed screen pictures would otherwise stay with the allocator.
    malloc_trim(0);
#endif
}

void RingPanel::paintEvent(QPaintEvent *)
{
    qCDebug(lcLatency, "ring painted %lld", latencyStamp());
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (backdrop_.isNull())
        painter.fillRect(rect(), Qt::transparent);
    else
        painter.drawPixmap(rect(), backdrop_);
}

void RingPanel::resizeEvent(QResizeEvent *) { view_->setGeometry(rect()); }

void RingPanel::keyPressEvent(QKeyEvent *event)
{
    if (onKeyPress)
        onKeyPress(event);
}

void RingPanel::keyReleaseEvent(QKeyEvent *event)
{
    if (onKeyRelease)
        onKeyRelease(event);
}

void RingPanel::wheelEvent(QWheelEvent *event)
{
    if (onWheel)
        onWheel(event);
}

} // namespace vima
