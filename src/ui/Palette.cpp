#include "ui/Palette.h"

namespace vima {

namespace {

QColor mix(const QColor &from, const QColor &to, double amount)
{
    const auto lerp = [amount](double a, double b) { return a + (b - a) * amount; };
    return QColor::fromRgbF(float(lerp(from.redF(), to.redF())), float(lerp(from.greenF(), to.greenF())),
                            float(lerp(from.blueF(), to.blueF())), float(lerp(from.alphaF(), to.alphaF())));
}

QColor withAlpha(QColor colour, double alpha)
{
    colour.setAlphaF(float(colour.alphaF() * alpha));
    return colour;
}

QColor text(const QPalette &system) { return system.color(QPalette::Active, QPalette::WindowText); }

// Light and dark variants of the system accent colours.
QColor pick(const QPalette &system, QRgb light, QRgb dark)
{
    return QColor::fromRgb(Palette::isDark(system) ? dark : light);
}

} // namespace

bool Palette::isDark(const QPalette &system)
{
    return system.color(QPalette::Active, QPalette::Window).lightnessF() < 0.5;
}

QColor Palette::windowBackground(const QPalette &system)
{
    return system.color(QPalette::Active, QPalette::Window);
}

QColor Palette::underPageBackground(const QPalette &system)
{
    return mix(windowBackground(system), text(system), 0.06);
}

QColor Palette::controlBackground(const QPalette &system)
{
    return system.color(QPalette::Active, QPalette::Base);
}

QColor Palette::selectedContentBackground(const QPalette &system)
{
    return mix(controlBackground(system), text(system), 0.12);
}

QColor Palette::label(const QPalette &system) { return withAlpha(text(system), 0.85); }

QColor Palette::secondaryLabel(const QPalette &system) { return withAlpha(text(system), 0.55); }

QColor Palette::tertiaryLabel(const QPalette &system) { return withAlpha(text(system), 0.26); }

QColor Palette::separator(const QPalette &system) { return withAlpha(text(system), 0.12); }

QColor Palette::grid(const QPalette &system)
{
    return mix(windowBackground(system), text(system), 0.18);
}

QColor Palette::adaptiveGrey(const QPalette &system)
{
    const float level = isDark(system) ? 0.92f : 0.13f;
    return QColor::fromRgbF(level, level, level);
}

QColor Palette::red(const QPalette &system) { return pick(system, 0xFF3B30, 0xFF453A); }

QColor Palette::orange(const QPalette &system) { return pick(system, 0xFF9500, 0xFF9F0A); }

QColor Palette::green(const QPalette &system) { return pick(system, 0x34C759, 0x30D158); }

} // namespace vima
