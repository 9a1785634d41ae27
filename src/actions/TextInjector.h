#pragma once

#include "actions/DesktopAccess.h"
#include "async/CancellationToken.h"
#include "platform/RunningApplication.h"

#include <QCoroTask>
#include <QString>
#include <optional>

namespace vima {

// Writes a text over the target application's selection: through its
// accessibility tree when the focused element allows it, else by pasting it
// with the clipboard put back afterwards.
class TextInjector {
public:
    using Target = std::optional<RunningApplication>;

    using Collaborators = DesktopAccess;

    explicit TextInjector(Collaborators collaborators);

    // Writes only into the target's own window: when that cannot be brought
    // back to the front, nothing is written. Throws SelectionError::notPermitted,
    // PlatformError (the window, or the clipboard, is not there to be used;
    // the window has no paste key, or never asked for the text), or Cancelled.
    QCoro::Task<void> replace(Target target, QString text, CancellationToken token);
    QCoro::Task<void> pasteViaCommandV(QString text, Target target, CancellationToken token);
    // False where the target's window is sent no paste key: nothing is ever
    // pasted there.
    bool takesPaste(const RunningApplication &target) const;

private:
    bool writeViaAccessibility(const RunningApplication &target, const QString &text);
    QCoro::Task<void> awaitFocus(RunningApplication target, CancellationToken token);
    // Whether the target asked for the text within the limit.
    QCoro::Task<bool> awaitPaste(quint64 requestsBefore);

    Collaborators c_;
};

} // namespace vima
