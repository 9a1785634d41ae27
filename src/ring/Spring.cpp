#include "ring/Spring.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vima {

namespace {
constexpr double maxStep = 1.0 / 240;
constexpr double restDistance = 1e-3;
constexpr double restVelocity = 1e-2;
} // namespace

Spring::Spring(double response, double damping, double value)
    : response_(response)
    , damping_(damping)
    , value_(value)
    , target_(value)
{
}

void Spring::jump(double value)
{
    value_ = target_ = value;
    velocity_ = 0;
}

void Spring::advance(double seconds)
{
    // A zero, negative or non-finite duration from a hand-edited file means no animation.
    if (!(std::isfinite(response_) && response_ > 0) || !std::isfinite(seconds)) {
        jump(target_);
        return;
    }
    const double omega = 2 * std::numbers::pi / response_;
    const double stiffness = omega * omega;
    const double friction = 2 * damping_ * omega;
    double left = std::clamp(seconds, 0.0, 1.0);
    while (left > 0 && !isSettled()) {
        const double dt = std::min(left, maxStep);
        velocity_ += (stiffness * (target_ - value_) - friction * velocity_) * dt;
        value_ += velocity_ * dt;
        left -= dt;
    }
    if (isSettled())
        jump(target_);
}

bool Spring::isSettled() const
{
    return std::abs(target_ - value_) < restDistance && std::abs(velocity_) < restVelocity;
}

} // namespace vima
