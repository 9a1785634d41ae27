#pragma once

namespace vima {

// A value that eases out towards its target over a fixed duration.
class EaseOut {
public:
    EaseOut(double duration, double value = 0);

    double value() const;
    void setTarget(double target);
    void jump(double value);
    void advance(double seconds);
    bool isSettled() const { return progress_ >= 1; }

private:
    double duration_;
    double from_;
    double target_;
    double progress_ = 1; // 0 … 1 of the way from `from_` to `target_`
};

} // namespace vima
