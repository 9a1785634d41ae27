#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace vima {

// The shared interface colours. They are derived from the application's
// palette each time they are read, so a change of theme shows on the next
// paint. Qt 6.4 has no colour-scheme API: a dark window colour means dark.
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

    static bool isDark(const QPalette &system = QGuiApplication::palette());
};

} // namespace vima
