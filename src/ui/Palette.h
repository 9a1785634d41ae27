#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QList>
#include <QPalette>

namespace vima {

// The shared interface colours. They are derived from the application's
// palette each time they are read, so a change of theme shows on the next
// paint. Qt 6.4 has no colour-scheme API: a dark window colour means dark.
// Every text colour reads on every text background, whatever the desktop's
// colours are.
class Palette {
public:
    static QColor windowBackground(const QPalette &system = QGuiApplication::palette());
    static QColor underPageBackground(const QPalette &system = QGuiApplication::palette());
    static QColor controlBackground(const QPalette &system = QGuiApplication::palette());
    static QColor selectedContentBackground(const QPalette &system = QGuiApplication::palette());
    static QColor label(const QPalette &system = QGuiApplication::palette());
    static QColor secondaryLabel(const QPalette &system = QGuiApplication::palette());
    static QColor tertiaryLabel(const QPalette &system = QGuiApplication::palette());
    static QColor separator(const QPalette &system = QGuiApplication::palette());
    static QColor grid(const QPalette &system = QGuiApplication::palette());
    static QColor adaptiveGrey(const QPalette &system = QGuiApplication::palette());
    static QColor red(const QPalette &system = QGuiApplication::palette());
    static QColor orange(const QPalette &system = QGuiApplication::palette());
    static QColor green(const QPalette &system = QGuiApplication::palette());

    // Links, moved towards the text colour when the system's own would not read.
    static QColor link(const QPalette &system = QGuiApplication::palette());
    // The edge of a control (a check box, a field, a segmented control, an
    // empty slot): it stands out from every text background.
    static QColor controlBoundary(const QPalette &system = QGuiApplication::palette());
    // Text on a fill of the ink colour (adaptiveGrey).
    static QColor onInk(const QPalette &system = QGuiApplication::palette());

    static bool isDark(const QPalette &system = QGuiApplication::palette());

    // Text reads when it stands out this much from what it is drawn on.
    static constexpr double minimumTextContrast = 4.5;
    // A control's edge is seen when it stands out this much.
    static constexpr double minimumBoundaryContrast = 3.0;
    // The contrast ratio of `foreground` (laid over `background` by its alpha)
    // against `background`: 1 to 21.
    static double contrast(const QColor &foreground, const QColor &background);
    // What text is drawn on: window, under-page and control backgrounds.
    static QList<QColor> textBackgrounds(const QPalette &system = QGuiApplication::palette());
    // `colour`, or the nearest mix of it with the text colour that reaches
    // `minimum` on every text background. The label tones come out of it.
    static QColor readable(const QColor &colour, const QPalette &system = QGuiApplication::palette(),
                           double minimum = minimumTextContrast);
};

} // namespace vima
