#pragma once

#include <QColor>

namespace vima {

// The ring's fixed colours: they stay the same under light and dark themes.
// Idle tiles are white with a dark icon; the highlighted tile and the centre
// disc are near-black with a white glyph.
struct RingStyle {
    double labelGap = 8;
    QColor discFill = QColor::fromRgbF(1, 1, 1);
    QColor discInk = QColor::fromRgbF(0.14f, 0.14f, 0.14f);
    QColor activeFill = QColor::fromRgbF(0.11f, 0.11f, 0.11f);
    QColor activeInk = QColor::fromRgbF(1, 1, 1);
    // An empty slot: a dashed circle round a plus.
    QColor emptyFill = QColor::fromRgbF(1, 1, 1, 0.16f);
    QColor emptyBorder = QColor::fromRgbF(1, 1, 1, 0.55f);
    QColor emptyPlus = QColor::fromRgbF(1, 1, 1, 0.9f);
};

} // namespace vima
