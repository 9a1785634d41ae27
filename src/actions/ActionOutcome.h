#pragma once

#include "platform/RunningApplication.h"

#include <QString>
#include <functional>
#include <optional>

namespace vima {

// A button shown with an outcome's recovery hint.
struct RecoveryAction {
    QString title;
    std::function<void()> perform;
};

// What an action hands to the result panel.
struct ActionOutcome {
    enum class Style { success, failure };

    QString title;
    QString body;
    Style style = Style::success;
    // Where Replace Selection writes the body; none on failures.
    std::optional<RunningApplication> replaceTarget;
    std::optional<QString> recovery;
    std::optional<RecoveryAction> recoveryAction;
    bool isAI = false;
    // The body is already written into the target: offered to copy, never to write again.
    bool replaced = false;
};

} // namespace vima
