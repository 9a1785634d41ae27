#pragma once

#include "actions/DesktopAccess.h"
#include "async/CancellationToken.h"
#include "platform/RunningApplication.h"

#include <QCoroTask>
#include <QString>
#include <optional>

namespace vima {

// The result of one accessibility read of the selection.
struct AXSelectionRead {
    enum class Kind { text, nothingSelected, notShared, tooLarge };

    Kind kind = Kind::notShared;
    QString text;
    // The text may be what was selected once (see mayOutliveSelection).
    bool mayBeStale = false;

    bool operator==(const AXSelectionRead &) const = default;
};

// Reads the text selected in the target application: through its
// accessibility tree within a time budget, else (when allowed) by copying it
// with a synthetic copy shortcut and restoring the clipboard afterwards.
class SelectionService {
public:
    using Target = std::optional<RunningApplication>;

    using Collaborators = DesktopAccess;

    SelectionService(Collaborators collaborators, double axTimeout = 0.6, double axBudget = 0.3);

    // Throws SelectionError, or Cancelled.
    QCoro::Task<QString> capture(Target target, bool allowClipboardFallback, CancellationToken token);
    QCoro::Task<AXSelectionRead> readViaAccessibility(Target target, CancellationToken token);
    // Nothing when no text was copied; throws SelectionError when the
    // clipboard could not be read (it is then left as it was).
    QCoro::Task<std::optional<QString>> copyViaKeystroke(Target target, CancellationToken token);

private:
    static std::optional<QString> nameOf(const Target &target);
    QCoro::Task<AXSelectionRead> readFromRoot(AccessibilityElement::Pointer root, double deadline,
                                              CancellationToken token);
    QCoro::Task<AXSelectionRead> searchWindow(AccessibilityElement::Pointer window, double deadline,
                                              CancellationToken token);
    QCoro::Task<std::optional<QString>> awaitCopiedText(quint64 baseline, Target target, CancellationToken token);

    Collaborators c_;
    double axTimeout_;
    double axBudget_;
};

} // namespace vima
