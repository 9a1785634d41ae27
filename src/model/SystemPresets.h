#pragma once

#include "model/ActionPreset.h"

#include <QList>

namespace vima {

// The library's System category, each action done with the tools found on
// this desktop when it runs. Every script is POSIX sh, checks each tool it
// uses with `command -v`, and names what to install when none is there.
QList<ActionPreset> systemPresets();

} // namespace vima
