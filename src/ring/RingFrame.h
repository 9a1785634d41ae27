#pragma once

#include "model/Ring.h"
#include "ring/RingLayout.h"
#include "ring/RingStyle.h"

#include <array>

namespace vima {

class AppIconCache;
class RingViewModel;

// Everything one painted frame of the ring depends on: the view model's state,
// the layout for the view's size and where each animation stands.
struct RingFrame {
    const RingViewModel *model = nullptr;
    RingStyle style;
    bool isPreview = false;
    RingLayout layout;
    double presented = 1;  // 0 hidden … 1 shown (a spring: may overshoot)
    double dimming = 1;    // backdrop opacity
    double tileRadius = 0; // R, animated between nesting levels
    std::array<double, Ring::maxSlotCount> activeness{}; // per slot: 0 idle … 1 highlighted
    const AppIconCache *appIcons = nullptr;
};

} // namespace vima
