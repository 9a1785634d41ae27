#include "ring/EaseOut.h"

#include <algorithm>
#include <cmath>

namespace vima {

EaseOut::EaseOut(double duration, double value)
    : duration_(duration)
    , from_(value)
    , target_(value)
{
}

double EaseOut::value() const
{
    const double remaining = 1 - progress_;
    return from_ + (target_ - from_) * (1 - remaining * remaining);
}

void EaseOut::setTarget(double target)
{
    if (target == target_)
        return;
    from_ = value();
    target_ = target;
    progress_ = 0;
}

void EaseOut::jump(double value)
{
    from_ = target_ = value;
    progress_ = 1;
}

void EaseOut::advance(double seconds)
{
    if (!(duration_ > 0) || !std::isfinite(seconds)) {
        progress_ = 1;
        return;
    }
    progress_ = std::min(1.0, progress_ + std::max(seconds, 0.0) / duration_);
}

} // namespace vima
