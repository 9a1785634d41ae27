#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vima::gallery {

// Shows `widget` off screen, lets it lay out and paint, and writes it as
// "<name>-<theme>.png" in the output folder; `theme` names the theme in use
// when a picture switched it itself.
void save(QWidget &widget, const QString &name, const QString &theme = {});
// Writes the screen with every shown window where it stands, pop-ups on top,
// as "<name>-<theme>.png".
void saveScreen(const QString &name);

// Pictures registered by one file, built once per theme:
//     static const gallery::Pictures pictures("onboarding", [] { ... save(...) ... });
class Pictures {
public:
    Pictures(const char *area, std::function<void()> draw);
};

} // namespace vima::gallery
