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
// The window manager may report a window active a moment before its
// application has taken the input focus.
constexpr double focusLimit = 0.3;
constexpr double focusPoll = 0.02;

QString windowOf(const std::optional<RunningApplication> &target)
{
    return target && !target->name.trimmed().isEmpty() ? QStringLiteral("The %1 window").arg(target->name)
                                                        : QStringLiteral("The window");
}

PlatformError notInFront(const RunningApplication &target)
{
    return PlatformError(windowOf(target)
                         + QStringLiteral(" you started from isn't in front any more, so Tavelon didn't paste."));
}

PlatformError closed(const RunningApplication &target)
{
    return PlatformError(windowOf(target) + QStringLiteral(" you started from was closed, so Tavelon didn't paste."));
}

PlatformError noPasteKey(const std::optional<RunningApplication> &target)
{
    return PlatformError(windowOf(target) + QStringLiteral(" has no paste key that Tavelon knows, so Tavelon didn't "
                                                           "paste."));
}

PlatformError notEditable(const RunningApplication &target)
{
    const QString where = target.name.trimmed().isEmpty() ? QStringLiteral("in front") : "in " + target.name;
    return PlatformError(QStringLiteral("The field %1 doesn't take typing, so Tavelon didn't paste.").arg(where));
}

PlatformError notTaken(const std::optional<RunningApplication> &target)
{
    return PlatformError(windowOf(target) + QStringLiteral(" didn't take the paste."));
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
            throw c_.keys.focusOf(*target) == KeySender::Focus::targetClosed ? closed(*target) : notInFront(*target);
        if (writeViaAccessibility(*target, text)) {
            qCDebug(lcTextInjector, "Replaced the selection by writing into the focused element");
            co_return;
        }
    }
    co_await pasteViaCommandV(text, target, token);
}

bool TextInjector::takesPaste(const RunningApplication &target) const
{
    return c_.keys.keysOf(target) != KeySender::Keys::none;
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
    const KeySender::Keys keys = c_.keys.keysOf(target);
    // Its Ctrl+Shift+V would type a control character at the prompt.
    if (keys == KeySender::Keys::none)
        throw noPasteKey(target);
    // A read-only view asks for the clipboard and drops the paste, so its
    // request proves nothing. A terminal takes a paste whatever its focus says.
    if (target && keys == KeySender::Keys::editor) {
        const std::optional<bool> takesTyping = co_await c_.accessibility.focusTakesTyping(*target);
        if (takesTyping == false) {
            qCWarning(lcTextInjector, "The focused object doesn't take typing; not pasting");
            throw notEditable(*target);
        }
    }
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
    if (target) {
        if (!c_.activator.isActive(*target))
            throw notInFront(*target);
        co_await awaitFocus(*target, token);
    }
    if (!c_.accessibility.isTrusted())
        throw SelectionError::notPermitted();
    const bool sent = co_await c_.keys.send(KeySender::Shortcut::paste);
    if (!sent)
        throw SelectionError::notPermitted();
    const bool taken = co_await awaitPaste(requestsBefore);
    if (!taken) {
        qCWarning(lcTextInjector, "No paste of the %lld chars put on the clipboard was asked for", qint64(text.size()));
        throw notTaken(target);
    }
    if (keys == KeySender::Keys::terminal)
        qCDebug(lcTextInjector, "Pasted %lld chars at the terminal's cursor (Ctrl+Shift+V)", qint64(text.size()));
    else
        qCDebug(lcTextInjector, "Replaced the selection by pasting %lld chars from the clipboard (Ctrl+V)",
                qint64(text.size()));
}

QCoro::Task<void> TextInjector::awaitFocus(RunningApplication target, CancellationToken token)
{
    // A stale active window is no proof: a window may close while the answer
    // is on its way, and the window manager focuses nothing else.
    const double limit = c_.scheduler.now() + focusLimit;
    for (;;) {
        const KeySender::Focus focus = c_.keys.focusOf(target);
        if (focus == KeySender::Focus::inTarget)
            co_return;
        if (focus == KeySender::Focus::targetClosed) {
            qCWarning(lcTextInjector, "The target window was closed; not pasting");
            throw closed(target);
        }
        if (c_.scheduler.now() >= limit) {
            qCWarning(lcTextInjector, "The target window doesn't hold the input focus; not pasting");
            throw notInFront(target);
        }
        co_await sleep(focusPoll, token, c_.scheduler);
    }
}

QCoro::Task<bool> TextInjector::awaitPaste(quint64 requestsBefore)
{
    // Restoring before the target fetched the text would paste the old contents.
    co_await settle(pasteSettle, c_.scheduler);
    const double limit = c_.scheduler.now() + latePasteLimit;
    bool waited = false;
    while (c_.pasteboard.requestCount() == requestsBefore && c_.scheduler.now() < limit) {
        waited = true;
        co_await settle(latePastePoll, c_.scheduler);
    }
    if (c_.pasteboard.requestCount() == requestsBefore)
        co_return false;
    if (waited)
        co_await settle(afterLatePaste, c_.scheduler);
    co_return true;
}

} // namespace vima
