#pragma once

#include "async/Scheduler.h"
#include "ring/EaseOut.h"
#include "ring/RingFrame.h"
#include "ring/RingStyle.h"
#include "ring/Spring.h"

#include <QWidget>
#include <vector>
#include <optional>

namespace vima {

class AppIconCache;
class RingViewModel;

// Draws a ring from its view model and hands pointer moves and clicks back to
// it. In preview mode (the settings' live preview) it draws no backdrop and
// takes no input.
class RingView final : public QWidget {
    Q_OBJECT

public:
    RingView(RingViewModel &viewModel, bool isPreview, const RingStyle &style = {},
             Scheduler &scheduler = Scheduler::system(), QWidget *parent = nullptr);
    ~RingView() override;

    bool isPreview() const { return isPreview_; }
    // Where application icons come from; none draws the missing-application symbol.
    void setAppIcons(const AppIconCache *icons) { appIcons_ = icons; }
    RingViewModel &viewModel() const { return viewModel_; }
    const RingStyle &style() const { return style_; }
    void setStyle(const RingStyle &style);

    // What a click (or an assistive technology's press) on a slot or on the
    // centre disc does; nothing in preview mode.
    void pressSlot(int slot);
    void pressCentre();
    // Paints the current frame at the widget's size.
    void paint(QPainter &painter) const;
    RingFrame frame() const;
    bool isAnimating() const;
    // The ring is laid out on a canvas the size of the screen under the
    // pointer, of which this widget shows the part from `origin` on; by
    // default the widget is the whole canvas.
    void setCanvas(QSize size, QPoint origin);
    QSize canvasSize() const { return canvas_.isEmpty() ? size() : canvas_; }
    QPoint canvasOrigin() const { return origin_; }
    // The next change is animated as if it had begun at `time` (the key press
    // that summoned the ring), so the first frame painted is already part way in.
    void startClockAt(double time) { clockOrigin_ = time; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    struct Hit {
        enum class Kind { backdrop, slot, centre, pageDot, pageRow };
        Kind kind = Kind::backdrop;
        int index = 0;
    };

    Hit hitTest(QPointF point) const;
    void click(const Hit &hit);
    void retarget();
    void scheduleTick();
    void tick();
    void advanceTo(double time);

    RingViewModel &viewModel_;
    const bool isPreview_;
    RingStyle style_;
    Scheduler &scheduler_;

    Spring presented_;
    EaseOut dimming_;
    Spring tileRadius_;
    std::vector<Spring> activeness_; // one per slot
    std::optional<Scheduler::TimerId> tickTimer_;
    QSize canvas_;
    QPoint origin_;
    double advancedTo_ = 0; // the time the animations stand at
    std::optional<double> clockOrigin_;
    const AppIconCache *appIcons_ = nullptr;
};

} // namespace vima
