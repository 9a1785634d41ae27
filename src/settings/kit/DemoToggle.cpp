#include "settings/kit/DemoToggle.h"

#include "ring/SoftShadow.h"
#include "ring/Spring.h"
#include "ui/Palette.h"

#include <QPainter>
#include <algorithm>
#include <vector>

namespace vima {

namespace {

constexpr double springResponse = 0.45;
constexpr double springDamping = 0.72;
constexpr int springMilliseconds = 700; // the spring has settled by then
constexpr int easeOutMilliseconds = 300;
constexpr double knobInset = 2;

// The spring's way from 0 to 1 as an easing curve over springMilliseconds.
qreal springEasing(qreal progress)
{
    static const std::vector<double> samples = [] {
        constexpr int count = 210;
        Spring spring(springResponse, springDamping);
        spring.setTarget(1);
        std::vector<double> values{0};
        for (int i = 1; i <= count; ++i) {
            spring.advance(springMilliseconds / 1000.0 / count);
            values.push_back(spring.value());
        }
        values.back() = 1;
        return values;
    }();
    const double position = std::clamp(progress, 0.0, 1.0) * double(samples.size() - 1);
    const auto index = std::min(size_t(position), samples.size() - 2);
    const double fraction = position - double(index);
    return samples[index] + (samples[index + 1] - samples[index]) * fraction;
}

QEasingCurve easeInOut()
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

QColor mix(const QColor &from, const QColor &to, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                            float(from.greenF() + (to.greenF() - from.greenF()) * t),
                            float(from.blueF() + (to.blueF() - from.blueF()) * t),
                            float(from.alphaF() + (to.alphaF() - from.alphaF()) * t));
}

} // namespace

DemoToggle::DemoToggle(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    connect(&animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        progress_ = value.toDouble();
        update();
    });
}

void DemoToggle::setOn(bool on)
{
    if (on == on_)
        return;
    on_ = on;
    animation_.stop();
    animation_.setStartValue(progress_);
    animation_.setEndValue(on ? 1.0 : 0.0);
    if (on) {
        animation_.setDuration(springMilliseconds);
        QEasingCurve spring;
        spring.setCustomType(springEasing);
        animation_.setEasingCurve(spring);
    } else {
        animation_.setDuration(easeOutMilliseconds);
        animation_.setEasingCurve(easeInOut());
    }
    animation_.start();
}

void DemoToggle::jumpTo(bool on)
{
    animation_.stop();
    on_ = on;
    progress_ = on ? 1 : 0;
    update();
}

QSize DemoToggle::sizeHint() const
{
    const double margin = SoftShadow::margin(glowRadius);
    return (trackSize + QSizeF(2 * margin, 2 * margin)).toSize();
}

QRectF DemoToggle::trackRect() const
{
    QRectF track(QPointF(), trackSize);
    track.moveCenter(QRectF(rect()).center());
    return track;
}

void DemoToggle::paintGlow(QPainter &painter, const QRectF &track) const
{
    const double opacity = std::clamp(progress_, 0.0, 1.0) * 0.28;
    if (opacity <= 0.001)
        return;
    QImage glow = SoftShadow::image(trackSize, trackSize.height() / 2, 1.0, glowRadius, devicePixelRatioF());
    {
        QPainter tint(&glow);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(glow.rect(), Palette::green(palette()));
    }
    const double margin = SoftShadow::margin(glowRadius);
    painter.setOpacity(opacity);
    painter.drawImage(track.topLeft() - QPointF(margin, margin), glow);
    painter.setOpacity(1);
}

void DemoToggle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = trackRect();
    paintGlow(painter, track);

    const double radius = track.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(mix(Palette::grid(palette()), Palette::green(palette()), progress_));
    painter.drawRoundedRect(track, radius, radius);

    const double knob = track.height() - 2 * knobInset;
    const double travel = track.width() - 2 * knobInset - knob;
    const QRectF knobRect(track.left() + knobInset + travel * progress_, track.top() + knobInset, knob, knob);
    SoftShadow::paint(painter, knobRect, knob / 2, 0.18, 1, QPointF(0, 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knobRect);
}

} // namespace vima
