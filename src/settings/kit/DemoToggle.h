#pragma once

#include <QImage>
#include <QVariantAnimation>
#include <QWidget>

namespace vima {

// A drawn on/off switch that only demonstrates: it takes no input. A change
// of `on` moves the knob with a spring when turning on, and eases back off.
class DemoToggle final : public QWidget {
    Q_OBJECT

public:
    static constexpr QSizeF trackSize{38, 23};
    static constexpr double glowRadius = 6;

    explicit DemoToggle(QWidget *parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);
    // Shows `on` at once, without animating.
    void jumpTo(bool on);
    // 0 = off, 1 = on; beyond either end while the spring overshoots.
    double progress() const { return progress_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF trackRect() const;
    void paintGlow(QPainter &painter, const QRectF &track) const;

    bool on_ = false;
    double progress_ = 0;
    QVariantAnimation animation_;
};

} // namespace vima
