#pragma once

#include "platform/ScreenBackdrop.h"

namespace vima {

// Translucency needs a compositing manager (the owner of _NET_WM_CM_S0);
// without one, translucent windows paint black, so the screen is captured.
class X11ScreenBackdrop final : public ScreenBackdrop {
public:
    bool isTranslucencyAvailable() const override;
    QPixmap capture(const QRect &frame) override;
};

} // namespace vima
