#pragma once

namespace vima {

// A damped spring moving a value towards its target, like the interface
// springs of other toolkits: `response` is the period in seconds of the
// undamped oscillation, `damping` the damping fraction (1 = critical).
class Spring {
public:
    Spring(double response, double damping, double value = 0);

    double value() const { return value_; }
    double target() const { return target_; }
    void setTarget(double target) { target_ = target; }
    void setResponse(double response) { response_ = response; }
    // Puts the value at the target at once.
    void jump(double value);
    void advance(double seconds);
    bool isSettled() const;

private:
    double response_;
    double damping_;
    double value_;
    double target_;
    double velocity_ = 0;
};

} // namespace vima
