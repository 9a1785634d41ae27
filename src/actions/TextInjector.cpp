#include "actions/TextInjector.h"

#include "actions/BringForward.h"
#include "actions/ClipboardRestorer.h"
#include "actions/Logging.h"
#include "actions/SelectionError.h"
#include "async/Sleep.h"
#include "platform/PlatformError.h"

namespace vima {
namespace {

constexpr double activationSettle = 0.14;
constexpr double messagingTimeout = 0.6;
constexpr double pasteSettle = 0.35;
// A target slower than the settle gets this much longer to ask for the text.
constexpr double latePasteLimit = 1.15;
constexpr double latePastePoll = 0.05;
constexpr double afterLatePaste = 0.08;

PlatformError notInFront(const RunningApplication &target)
{
    const QString window = target.name.isEmpty() ? QStringLiteral("The window")
                                                 : QStringLiteral("The %1 window").arg(target.name);
    return PlatformError(window
                         + QStringLiteral(" you started from isn't in front any more, so Tavelon didn't paste."));
}

} // namespace

TextInjector::TextInjector(Collaborators collaborators) : c_(collaborators) {}

QCoro::Task<void> TextInjector::replace(Target target, QString text, CancellationToken token)
{
    if (!c_.accessibility.isTrusted())
        throw SelectionError::notPermitted();
    if (target) {
        const bool inFront = co_await bringForward(c_, *target, activationSettle, token);
        if (!inFront)
            throw notInFront(*target);
        if (writeViaAccessibility(*target, text)) {
            qCDebug(lcTextInjector, "Replaced the selection by writing into the focused element");
            co_return;
        }
    }
    co_await pasteViaCommandV(text, target, token);
}

bool TextInjector::writeViaAccessibility(const RunningApplication &target, const QString &text)
{
    const auto app = c_.accessibility.applicationElement(target);
    if (!app)
        return false;
    app->setMessagingTimeout(messagingTimeout);
    const auto focused = app->focusedElement();
    if (!focused)
        return false;
    const std::optional<bool> settable = focused->isSelectedTextSettable();
    return settable && *settable && focused->setSelectedText(text);
}

QCoro::Task<void> TextInjector::pasteViaCommandV(QString text, Target target, CancellationToken token)
{
    // Once the clipboard is ours, the paste and its restore run their course.
    const ClipboardLane::Hold hold = co_await c_.clipboardLane.take(token);
    const SelectionRead<PasteboardSnapshot> snapshot = co_await c_.pasteboard.capture(token);
    // Pasting would replace contents we could never put back.
    if (snapshot.status == SelectionRead<PasteboardSnapshot>::Status::tooLarge)
        throw PlatformError(QStringLiteral("The clipboard holds more than %1 MB, more than Tavelon can put back, so "
                                           "Tavelon left it alone.")
                                .arg(largestClipboardSnapshotMB));
    if (snapshot.status == SelectionRead<PasteboardSnapshot>::Status::tooManyFormats)
        throw PlatformError(QStringLiteral("The clipboard offers more than %1 formats, more than Tavelon can put "
                                           "back, so Tavelon left it alone.")
                                .arg(largestClipboardFormatCount));
    if (snapshot.status == SelectionRead<PasteboardSnapshot>::Status::formatNameTooLong)
        throw PlatformError(QStringLiteral("The clipboard offers a format whose name is longer than %1 bytes, more "
                                           "than Tavelon can put back, so Tavelon left it alone.")
                                .arg(longestClipboardFormatName));
    if (!snapshot.value)
        throw PlatformError(QStringLiteral("The clipboard isn't responding, so Tavelon left it alone."));
    const ClipboardRestorer restorer(c_.pasteboard, *snapshot.value);
    c_.pasteboard.clear();
    c_.pasteboard.setText(text);
    const quint64 requestsBefore = c_.pasteboard.requestCount();
    // The last moment to notice that another window took the front.
    if (target && !c_.activator.isActive(*target))
        throw notInFront(*target);
    if (!c_.accessibility.isTrusted())
        throw SelectionError::notPermitted();
    const bool sent = co_await c_.keys.send(KeySender::Shortcut::paste);
    if (!sent)
        throw SelectionError::notPermitted();
    co_await awaitPaste(requestsBefore);
    qCDebug(lcTextInjector, "Replaced the selection by pasting %lld chars from the clipboard (Ctrl+V)",
            qint64(text.size()));
}

QCoro::Task<void> TextInjector::awaitPaste(quint64 requestsBefore)
{
    // Restoring before the target fetched the text would paste the old contents.
    co_await settle(pasteSettle, c_.scheduler);
    const double limit = c_.scheduler.now() + latePasteLimit;
    bool waited = false;
    while (c_.pasteboard.requestCount() == requestsBefore && c_.scheduler.now() < limit) {
        waited = true;
        co_await settle(latePastePoll, c_.scheduler);
    }
    if (waited)
        co_await settle(afterLatePaste, c_.scheduler);
}

} // namespace vima
