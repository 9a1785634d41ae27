#pragma once

// Fewer slots than a ring has items would leave some items out of sight, so
// such a count is refused, with the same words in the General tab's Slots
// control and in a ring's Slots menu.

#include "model/Ring.h"
#include "model/VimaConfig.h"

#include <QString>
#include <optional>

namespace vima::SlotCountRule {

// Why `count` slots can't show every item of `ring`; none when they can.
std::optional<QString> refusal(const Ring &ring, qint64 count);
// The same for a new global count: the first ring that follows it and would
// not fit.
std::optional<QString> refusal(const VimaConfig &config, qint64 count);

} // namespace vima::SlotCountRule
