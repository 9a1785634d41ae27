#pragma once

#include "model/VimaConfig.h"

namespace vima {

// A hand-edited file may repeat an id: a slot's block copied whole, a ring or
// a saved pack pasted twice. Everything that finds a ring, an item or a saved
// pack by its id (selection, edits, removal) would then reach the first of
// them whatever the user chose. Each later one gets an id of its own, the same
// for the same file every time it is read, so that a reload keeps the
// selection; the first keeps its id, and with it every link to it. Reading
// writes nothing: the file keeps the repeated ids until a change is saved.
void giveRepeatedIDsTheirOwn(VimaConfig &config);

} // namespace vima
