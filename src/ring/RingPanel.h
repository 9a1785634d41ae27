#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

class QKeyEvent;
class QWheelEvent;

namespace vima {

class RingView;

// The borderless overlay that covers the screen under the pointer and hosts
// the ring view. It never takes focus, so the application the user was in
// stays active for the action that follows; keys come through a grab.
class RingPanel final : public QWidget {
    Q_OBJECT

public:
    explicit RingPanel(RingView *view);

    RingView *view() const { return view_; }
    // A picture of the screen painted behind the ring where windows cannot be
    // translucent; a null pixmap for none.
    void setBackdrop(const QPixmap &picture);
    bool hasBackdrop() const { return !backdrop_.isNull(); }
    const QPixmap &backdrop() const { return backdrop_; }
    // Covers `area` (global coordinates) with `picture` of the screen there as
    // the backdrop. Where the panel itself is on screen, the picture shows the
    // ring: the backdrop it already has is what lies beneath.
    void moveOver(const QRect &area, QPixmap picture);
    // Whether clicks fall through to the windows below.
    void setIgnoresMouseEvents(bool ignores);
    // Hides the panel and gives back what it holds only while shown: the
    // backdrop and the allocator's freed pages. The window's pixel buffer,
    // only as large as the ring, stays: growing it back on the next show
    // costs the hotkey more than a millisecond.
    void hideAndRelease();

    std::function<void(QKeyEvent *)> onKeyPress;
    std::function<void(QKeyEvent *)> onKeyRelease;
    std::function<void(QWheelEvent *)> onWheel;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    RingView *view_;
    QPixmap backdrop_;
};

} // namespace vima
