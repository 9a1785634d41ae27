#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vima::gallery {

// Shows `widget` off screen, lets it lay out and paint, and writes it as
// "<name>-<theme>.png" in the output folder.
void save(QWidget &widget, const QString &name);

// Pictures registered by one file, built once per theme:
//     static const gallery::Pictures pictures("onboarding", [] { ... save(...) ... });
class Pictures {
public:
    Pictures(const char *area, std::function<void()> draw);
};

} // namespace vima::gallery
