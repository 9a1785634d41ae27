#include "ui/Palette.h"

#include <algorithm>
#include <cmath>

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

double channel(float value)
{
    return value <= 0.03928f ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

// The text tones, worked out once per set of system colours: the ring paints
// with them on every frame.
struct TextTones {
    QRgb window = 0, base = 0, ink = 0;
    QColor label, secondary, tertiary;
};

const TextTones &textTones(const QPalette &system)
{
    static thread_local TextTones tones;
    const QRgb window = Palette::windowBackground(system).rgba(), base = Palette::controlBackground(system).rgba(),
               ink = text(system).rgba();
    if (tones.label.isValid() && tones.window == window && tones.base == base && tones.ink == ink)
        return tones;
    tones = {window, base, ink, Palette::readable(withAlpha(text(system), 0.85), system),
             Palette::readable(withAlpha(text(system), 0.68), system),
             Palette::readable(withAlpha(text(system), 0.26), system)};
    return tones;
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

QColor Palette::label(const QPalette &system) { return textTones(system).label; }

QColor Palette::secondaryLabel(const QPalette &system) { return textTones(system).secondary; }

QColor Palette::tertiaryLabel(const QPalette &system) { return textTones(system).tertiary; }

QColor Palette::link(const QPalette &system)
{
    return readable(system.color(QPalette::Active, QPalette::Link), system);
}

QColor Palette::controlBoundary(const QPalette &system)
{
    return readable(grid(system), system, minimumBoundaryContrast);
}

QColor Palette::onInk(const QPalette &system) { return isDark(system) ? Qt::black : Qt::white; }

double Palette::contrast(const QColor &foreground, const QColor &background)
{
    const QColor solid = mix(background, QColor(foreground.rgb()), foreground.alphaF());
    const double lighter = std::max(luminance(solid), luminance(background));
    const double darker = std::min(luminance(solid), luminance(background));
    return (lighter + 0.05) / (darker + 0.05);
}

QList<QColor> Palette::textBackgrounds(const QPalette &system)
{
    return {windowBackground(system), underPageBackground(system), controlBackground(system)};
}

QColor Palette::readable(const QColor &colour, const QPalette &system, double minimum)
{
    const QList<QColor> backgrounds = textBackgrounds(system);
    const auto reads = [&backgrounds, minimum](const QColor &candidate) {
        return std::all_of(backgrounds.begin(), backgrounds.end(), [&candidate, minimum](const QColor &background) {
            return contrast(candidate, background) >= minimum;
        });
    };
    // Drawn towards the text colour, which reads on all of them.
    constexpr int steps = 20;
    for (int step = 0; step < steps; ++step) {
        const QColor candidate = mix(colour, text(system), double(step) / steps);
        if (reads(candidate))
            return candidate;
    }
    return text(system);
}

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
