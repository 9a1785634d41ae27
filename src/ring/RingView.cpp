#include "ring/RingView.h"

#include "ring/RingAccessible.h"
#include "ring/RingPainter.h"
#include "ring/RingViewModel.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vima {

namespace {

constexpr double frameInterval = 1.0 / 60;

double distance(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

} // namespace

RingView::RingView(RingViewModel &viewModel, bool isPreview, const RingStyle &style, Scheduler &scheduler,
                   QWidget *parent)
    : QWidget(parent)
    , viewModel_(viewModel)
    , isPreview_(isPreview)
    , style_(style)
    , scheduler_(scheduler)
    , presented_(viewModel.appearanceInUse().animationDuration, 0.72, viewModel.isPresented() ? 1 : 0)
    , dimming_(0.24, viewModel.isPresented() ? 1 : 0)
    , tileRadius_(0.32, 0.74)
    , activeness_(RingFrame{}.activeness.size(), Spring(0.24, 0.72))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(!isPreview);
    RingAccessible::install();
    if (const auto slot = viewModel.highlightedSlot(); slot && *slot < int(activeness_.size()))
        activeness_[size_t(*slot)].jump(1);
    tileRadius_.jump(frame().layout.tileRadius());

    const auto changed = [this] { retarget(); };
    for (const auto signal : {&RingViewModel::stackChanged, &RingViewModel::globalSlotCountChanged,
                              &RingViewModel::appearanceChanged, &RingViewModel::pagesChanged,
                              &RingViewModel::pageIndexChanged, &RingViewModel::contextAppChanged,
                              &RingViewModel::hoveredSlotChanged, &RingViewModel::keyboardFocusSlotChanged,
                              &RingViewModel::isPresentedChanged, &RingViewModel::ringCenterChanged})
        connect(&viewModel_, signal, this, changed);
}

RingView::~RingView()
{
    if (tickTimer_)
        scheduler_.cancel(*tickTimer_);
}

void RingView::setStyle(const RingStyle &style)
{
    style_ = style;
    update();
}

RingFrame RingView::frame() const
{
    const QSize canvas = canvasSize();
    const RingGeometry geometry = viewModel_.geometry(canvas);
    RingFrame frame{&viewModel_, style_, isPreview_, RingLayout::make(geometry, viewModel_.appearanceInUse(), canvas)};
    frame.presented = presented_.value();
    frame.dimming = dimming_.value();
    frame.tileRadius = tileRadius_.value();
    for (size_t slot = 0; slot < activeness_.size(); ++slot)
        frame.activeness[slot] = activeness_[slot].value();
    frame.appIcons = appIcons_;
    return frame;
}

void RingView::paint(QPainter &painter) const
{
    const RingFrame current = frame();
    RingPainter(current).paint(painter);
}

void RingView::setCanvas(QSize size, QPoint origin)
{
    if (canvas_ == size && origin_ == origin)
        return;
    canvas_ = size;
    origin_ = origin;
    update();
}

bool RingView::isAnimating() const { return tickTimer_.has_value(); }

void RingView::retarget()
{
    // Running animations change course from where they stand now; settled
    // ones start from the clock's origin.
    const double now = scheduler_.now();
    if (tickTimer_)
        advanceTo(now);
    else
        advancedTo_ = std::min(clockOrigin_.value_or(now), now);
    clockOrigin_.reset();
    const bool presented = viewModel_.isPresented();
    presented_.setResponse(viewModel_.appearanceInUse().animationDuration);
    presented_.setTarget(presented ? 1 : 0);
    dimming_.setTarget(presented ? 1 : 0);
    tileRadius_.setTarget(frame().layout.tileRadius());
    const auto highlighted = viewModel_.highlightedSlot();
    for (size_t slot = 0; slot < activeness_.size(); ++slot)
        activeness_[slot].setTarget(highlighted == int(slot) ? 1 : 0);
    scheduleTick();
    update();
}

void RingView::scheduleTick()
{
    if (!tickTimer_)
        tickTimer_ = scheduler_.schedule(frameInterval, [this] { tick(); });
}

void RingView::advanceTo(double time)
{
    const double elapsed = time - advancedTo_;
    if (elapsed <= 0)
        return;
    advancedTo_ = time;
    presented_.advance(elapsed);
    dimming_.advance(elapsed);
    tileRadius_.advance(elapsed);
    for (Spring &spring : activeness_)
        spring.advance(elapsed);
}

void RingView::tick()
{
    tickTimer_.reset();
    advanceTo(scheduler_.now());
    const bool settled = presented_.isSettled() && dimming_.isSettled() && tileRadius_.isSettled() &&
                         std::all_of(activeness_.cbegin(), activeness_.cend(),
                                     [](const Spring &spring) { return spring.isSettled(); });
    update();
    if (!settled)
        scheduleTick();
}

void RingView::paintEvent(QPaintEvent *)
{
    // Each frame shows the animations as they stand when it is painted.
    if (tickTimer_)
        advanceTo(scheduler_.now());
    QPainter painter(this);
    painter.translate(-origin_);
    paint(painter);
}

RingView::Hit RingView::hitTest(QPointF point) const
{
    const RingFrame current = frame();
    const RingPainter painter(current);
    if (const auto row = painter.pageRow()) {
        for (int i = 0; i < row->dotFrames.size(); ++i) {
            if (row->dotFrames.at(i).contains(point))
                return {Hit::Kind::pageDot, i};
        }
        if (row->rect.contains(point))
            return {Hit::Kind::pageRow, 0};
    }
    const RingLayout &layout = current.layout;
    if (distance(point, layout.geometry.center) <= RingLayout::discDiameter / 2)
        return {Hit::Kind::centre, 0};
    std::optional<Hit> nearest;
    double nearestDistance = (layout.tileSize + RingLayout::hitPadding) / 2;
    for (int slot = 0; slot < painter.items().size(); ++slot) {
        const double d = distance(point, layout.tileCentre(slot));
        if (painter.hasTile(slot) && d <= nearestDistance) {
            nearest = Hit{Hit::Kind::slot, slot};
            nearestDistance = d;
        }
    }
    return nearest.value_or(Hit{});
}

void RingView::click(const Hit &hit)
{
    switch (hit.kind) {
    case Hit::Kind::backdrop:
        viewModel_.cancel();
        return;
    case Hit::Kind::slot:
        pressSlot(hit.index);
        return;
    case Hit::Kind::centre:
        pressCentre();
        return;
    case Hit::Kind::pageDot:
        viewModel_.setPage(hit.index);
        return;
    case Hit::Kind::pageRow:
        return;
    }
}

void RingView::pressSlot(int slot)
{
    if (isPreview_)
        return;
    if (const auto item = viewModel_.currentRing().itemInSlot(slot))
        viewModel_.activate(*item);
}

void RingView::pressCentre()
{
    if (isPreview_)
        return;
    if (!viewModel_.goBack())
        viewModel_.cancel();
}

void RingView::mouseMoveEvent(QMouseEvent *event)
{
    if (isPreview_) {
        event->ignore();
        return;
    }
    viewModel_.pointerMoved(event->position() + origin_, canvasSize());
}

void RingView::mousePressEvent(QMouseEvent *event)
{
    if (isPreview_ || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    click(hitTest(event->position() + origin_));
}

void RingView::leaveEvent(QEvent *event)
{
    if (!isPreview_)
        viewModel_.clearHover();
    QWidget::leaveEvent(event);
}

} // namespace vima
