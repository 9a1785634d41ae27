#pragma once

#include <functional>

class QObject;

namespace vima {

// Calls `apply` now and again after each change of the application palette
// (a theme switch), for as long as `owner` lives. Colours a widget takes at
// build time (icons, its own palette, a style sheet) are set in `apply`.
// Qt tells only top-level windows of the change, and later: this is told
// by the application itself, at once.
void followPalette(QObject *owner, std::function<void()> apply);

} // namespace vima
