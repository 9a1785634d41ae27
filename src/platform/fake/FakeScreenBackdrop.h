#pragma once

#include "platform/ScreenBackdrop.h"

namespace vima {

class FakeScreenBackdrop final : public ScreenBackdrop {
public:
    bool isTranslucencyAvailable() const override { return translucent; }
    QPixmap capture(const QRect &frame) override
    {
        ++captures;
        QPixmap picture(frame.size());
        picture.fill(Qt::darkCyan);
        return picture;
    }

    bool translucent = true;
    int captures = 0;
};

} // namespace vima
