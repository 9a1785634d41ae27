#pragma once

#include "platform/PasteboardSnapshot.h"
#include "platform/SelectionRead.h"

#include <optional>

namespace vima {

// Tavelon puts back only what its keeper can take over as Tavelon quits, so
// that nothing put back is lost then: why `item` can't be kept, as the read
// that refuses it; none when it can.
std::optional<SelectionRead<PasteboardSnapshot>::Status> clipboardKeepRefusal(const PasteboardSnapshot::Item &item);

} // namespace vima
