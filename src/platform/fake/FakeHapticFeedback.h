#pragma once

#include "platform/HapticFeedback.h"

#include <QList>

namespace vima {

// Remembers every pattern asked for, in order.
class FakeHapticFeedback final : public HapticFeedback {
public:
    void perform(Pattern pattern) override;

    QList<Pattern> performed;

    qsizetype count(Pattern pattern) const { return performed.count(pattern); }
};

} // namespace vima
