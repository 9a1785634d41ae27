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

    // Throws SelectionError::notPermitted, PlatformError when the clipboard
    // cannot be saved, or Cancelled.
    QCoro::Task<void> replace(Target target, QString text, CancellationToken token);
    QCoro::Task<void> pasteViaCommandV(QString text);

private:
    bool writeViaAccessibility(qint64 pid, const QString &text);
    QCoro::Task<void> awaitPaste(quint64 requestsBefore);

    Collaborators c_;
};

} // namespace vima
