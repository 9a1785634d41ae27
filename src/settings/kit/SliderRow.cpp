#include "settings/kit/SliderRow.h"

#include "settings/kit/SettingsLooks.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>

namespace vima {

namespace {
constexpr int steps = 1000; // fine enough to feel continuous
}

SliderRow::SliderRow(double minimum, double maximum, int decimals, QString unit, QWidget *parent)
    : QWidget(parent)
    , minimum_(minimum)
    , maximum_(maximum)
    , decimals_(decimals)
    , unit_(std::move(unit))
    , slider_(new QSlider(Qt::Horizontal))
    , label_(new ToneLabel(Tone::secondary))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    slider_->setRange(0, steps);
    slider_->setMaximumWidth(240);
    slider_->setPageStep(steps / 20);
    slider_->setSingleStep(steps / 100);
    label_->setFont(monoFont(11));
    label_->setFixedWidth(52);
    label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label_->setTextFormat(Qt::PlainText);
    setFocusProxy(slider_);
    layout->addWidget(slider_, 1);
    layout->addWidget(label_);
    layout->addStretch(1);
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        const double moved = valueAt(position);
        value_ = moved;
        label_->setText(valueText());
        Q_EMIT this->moved(moved);
    });
    setValue(minimum);
}

void SliderRow::setValue(double value)
{
    value_ = value;
    label_->setText(valueText());
    const QSignalBlocker blocker(slider_);
    slider_->setValue(position(value));
}

QString SliderRow::valueText() const { return format(value_, decimals_, unit_); }

QString SliderRow::format(double value, int decimals, const QString &unit)
{
    return QString::asprintf("%.*f", decimals, value) + unit;
}

int SliderRow::position(double value) const
{
    if (maximum_ <= minimum_ || !std::isfinite(value))
        return 0;
    const double fraction = std::clamp((value - minimum_) / (maximum_ - minimum_), 0.0, 1.0);
    return static_cast<int>(std::lround(fraction * steps));
}

double SliderRow::valueAt(int position) const
{
    return minimum_ + (maximum_ - minimum_) * position / steps;
}

} // namespace vima
