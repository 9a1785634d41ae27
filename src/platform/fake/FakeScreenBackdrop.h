#pragma once

#include "platform/ScreenBackdrop.h"

#include <QList>

namespace vima {

class FakeScreenBackdrop final : public ScreenBackdrop {
public:
    bool isTranslucencyAvailable() const override { return translucent; }
    QPixmap capture(const QRect &frame) override
    {
        frames.append(frame);
        QPixmap picture(frame.size());
        picture.fill(screen);
        return picture;
    }

    bool translucent = true;
    QColor screen = Qt::darkCyan; // what every capture shows
    QList<QRect> frames;          // captured, in global coordinates
};

} // namespace vima
