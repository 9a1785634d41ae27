#pragma once

#include <QPointer>
#include <QWidget>

namespace vima {

// Owns the first-run window, built on the first show and reused after.
class OnboardingWindowController final {
public:
    OnboardingWindowController() = default;
    ~OnboardingWindowController();

    void show();
    QWidget *window() const { return window_; }

private:
    QPointer<QWidget> window_;
};

} // namespace vima
