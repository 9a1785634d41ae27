#pragma once

#include <QPixmap>
#include <QRect>

namespace vima {

// What lies behind a full-screen overlay. With a compositor the overlay is
// simply translucent; without one, it paints a picture of the screen instead.
class ScreenBackdrop {
public:
    virtual ~ScreenBackdrop() = default;

    virtual bool isTranslucencyAvailable() const = 0;
    // The screen's current contents in `frame` (global coordinates).
    virtual QPixmap capture(const QRect &frame) = 0;
};

} // namespace vima
