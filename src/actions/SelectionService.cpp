#include "actions/SelectionService.h"

#include "actions/BringForward.h"
#include "actions/ClipboardRestorer.h"
#include "actions/Logging.h"
#include "actions/SelectionError.h"
#include "actions/TextFunctions.h"
#include "async/Sleep.h"

#include <deque>
#include <vector>

namespace vima {
namespace {

constexpr int maxExamined = 96;
constexpr int maxDepth = 8;
constexpr int maxChildren = 32;
constexpr double activationSettle = 0.12;
// A copy lands within milliseconds, and one confirms the selection before
// every replace: a coarser poll would slow each of them.
constexpr double copyPoll = 0.005;
constexpr double copyDeadline = 0.7;

using Kind = AXSelectionRead::Kind;

AXSelectionRead textRead(const QString &text) { return {Kind::text, text}; }
AXSelectionRead statusRead(bool nothingSelected)
{
    return {nothingSelected ? Kind::nothingSelected : Kind::notShared, {}};
}

QCoro::Task<AXSelectionRead> readSelectedText(AccessibilityElement &element, CancellationToken token)
{
    const AXAnswer<QString> selected = co_await element.selectedText(token);
    if (selected.status == AXAnswer<QString>::Status::tooLarge)
        co_return AXSelectionRead{Kind::tooLarge, {}};
    const bool answered = selected.status != AXAnswer<QString>::Status::failed;
    if (selected.value && nilIfBlank(*selected.value))
        co_return AXSelectionRead{Kind::text, *selected.value, element.mayOutliveSelection()};

    const std::optional<TextRange> range = element.selectedTextRange();
    if (!range)
        co_return statusRead(answered);
    if (range->length < 1)
        co_return statusRead(true);
    if (const auto text = element.stringForRange(*range); text && nilIfBlank(*text))
        co_return textRead(*text);
    if (const auto value = element.value()) {
        const auto cut = substring(*value, range->location, range->length);
        if (cut && nilIfBlank(*cut))
            co_return textRead(*cut);
    }
    co_return statusRead(true);
}

// A text, or a text too large to take: either ends the search.
bool isFound(const AXSelectionRead &read) { return read.kind == Kind::text || read.kind == Kind::tooLarge; }

} // namespace

SelectionService::SelectionService(Collaborators collaborators, double axTimeout, double axBudget)
    : c_(collaborators), axTimeout_(axTimeout), axBudget_(axBudget)
{
}

QCoro::Task<QString> SelectionService::capture(Target target, bool allowClipboardFallback,
                                               CancellationToken token)
{
    if (!c_.accessibility.isTrusted())
        throw SelectionError::notPermitted();
    const std::optional<QString> appName = nameOf(target);

    const AXSelectionRead read = co_await readViaAccessibility(target, token);
    // Copying it would bring the same text.
    if (read.kind == Kind::tooLarge)
        throw SelectionError::tooLarge(appName);
    // Where Ctrl+C is no copy (xterm's ^C, Emacs's C-c prefix, Vim leaving
    // Visual mode), what the window holds in PRIMARY is all there is to read.
    const bool copyKey = c_.keys.keysOf(target) != KeySender::Keys::none;
    if (read.kind == Kind::text && (!read.mayBeStale || !allowClipboardFallback || !copyKey)) {
        qCDebug(lcSelection, "Captured %lld chars from the X selection (PRIMARY) the application owns",
                qint64(read.text.size()));
        co_return read.text;
    }
    if (!allowClipboardFallback) {
        if (read.kind == Kind::nothingSelected)
            throw SelectionError::nothingSelected(appName);
        throw SelectionError::selectionNotShared(appName);
    }
    if (!copyKey) {
        if (read.kind == Kind::notShared)
            throw SelectionError::captureFailed(appName);
        throw SelectionError::nothingSelected(appName);
    }
    // Qt keeps PRIMARY with its old text after the selection collapses: the
    // copy confirms it, and one that changes nothing says it is gone.
    const std::optional<QString> copied = co_await copyViaKeystroke(target, token);
    if (copied && nilIfBlank(*copied)) {
        qCDebug(lcSelection, "Captured %lld chars by copying them to the clipboard (Ctrl+C)", qint64(copied->size()));
        co_return *copied;
    }
    if (read.kind == Kind::notShared)
        throw SelectionError::captureFailed(appName);
    throw SelectionError::nothingSelected(appName);
}

std::optional<QString> SelectionService::nameOf(const Target &target)
{
    return target ? std::optional(target->name) : std::nullopt;
}

QCoro::Task<AXSelectionRead> SelectionService::readViaAccessibility(Target target, CancellationToken token)
{
    const double deadline = c_.scheduler.now() + axBudget_;
    bool nothingSelected = false;
    std::vector<AccessibilityElement::Pointer> roots;
    if (target)
        roots.push_back(c_.accessibility.applicationElement(*target));
    roots.push_back(c_.accessibility.systemWideElement());
    for (const AccessibilityElement::Pointer &root : roots) {
        if (!root)
            continue;
        root->setMessagingTimeout(axTimeout_);
        const AXSelectionRead read = co_await readFromRoot(root, deadline, token);
        if (isFound(read))
            co_return read;
        nothingSelected = nothingSelected || read.kind == Kind::nothingSelected;
    }
    co_return statusRead(nothingSelected);
}

QCoro::Task<AXSelectionRead> SelectionService::readFromRoot(AccessibilityElement::Pointer root, double deadline,
                                                            CancellationToken token)
{
    bool nothingSelected = false;
    if (const auto focused = root->focusedElement()) {
        const AXSelectionRead read = co_await readSelectedText(*focused, token);
        if (isFound(read))
            co_return read;
        nothingSelected = read.kind == Kind::nothingSelected;
    }
    const auto window = root->focusedWindow();
    if (!window)
        co_return statusRead(nothingSelected);
    const AXSelectionRead searched = co_await searchWindow(window, deadline, token);
    if (isFound(searched))
        co_return searched;
    co_return statusRead(nothingSelected || searched.kind == Kind::nothingSelected);
}

QCoro::Task<AXSelectionRead> SelectionService::searchWindow(AccessibilityElement::Pointer window, double deadline,
                                                            CancellationToken token)
{
    std::deque<std::pair<AccessibilityElement::Pointer, int>> queue{{window, 0}};
    Kind status = Kind::notShared;
    int examined = 0;
    while (examined < maxExamined && !queue.empty() && c_.scheduler.now() <= deadline) {
        const AccessibilityElement::Pointer element = queue.front().first;
        const int depth = queue.front().second;
        queue.pop_front();
        ++examined;
        const AXSelectionRead read = co_await readSelectedText(*element, token);
        if (isFound(read))
            co_return read;
        if (read.kind == Kind::nothingSelected)
            status = Kind::nothingSelected;
        if (depth >= maxDepth)
            continue;
        const auto children = element->children();
        if (!children)
            continue;
        int taken = 0;
        for (const auto &child : *children) {
            if (!child)
                continue;
            if (taken++ == maxChildren)
                break;
            queue.emplace_back(child, depth + 1);
        }
    }
    co_return AXSelectionRead{status, {}};
}

QCoro::Task<std::optional<QString>> SelectionService::copyViaKeystroke(Target target, CancellationToken token)
{
    const ClipboardLane::Hold hold = co_await c_.clipboardLane.take(token);
    const SelectionRead<PasteboardSnapshot> snapshot = co_await c_.pasteboard.capture(token);
    if (!snapshot.value) {
        // Copying now would replace contents we could never put back.
        qCWarning(lcSelection, "The clipboard could not be read whole; not copying the selection");
        if (snapshot.status == SelectionRead<PasteboardSnapshot>::Status::tooLarge)
            throw SelectionError::clipboardTooLarge(nameOf(target));
        if (snapshot.status == SelectionRead<PasteboardSnapshot>::Status::tooManyFormats)
            throw SelectionError::clipboardTooManyFormats(nameOf(target));
        if (snapshot.status == SelectionRead<PasteboardSnapshot>::Status::formatNameTooLong)
            throw SelectionError::clipboardFormatNameTooLong(nameOf(target));
        throw SelectionError::clipboardNotResponding(nameOf(target));
    }
    // A copy in another window would read another text.
    if (target) {
        const bool inFront = co_await bringForward(c_, *target, activationSettle, token);
        if (!inFront)
            co_return std::nullopt;
    }
    c_.pasteboard.clear();
    const quint64 baseline = c_.pasteboard.changeCount();
    const ClipboardRestorer restorer(c_.pasteboard, *snapshot.value);
    if (!c_.accessibility.isTrusted())
        throw SelectionError::notPermitted();
    const bool sent = co_await c_.keys.send(KeySender::Shortcut::copy);
    if (!sent)
        throw SelectionError::notPermitted();
    co_return co_await awaitCopiedText(baseline, target, token);
}

QCoro::Task<std::optional<QString>> SelectionService::awaitCopiedText(quint64 baseline, Target target,
                                                                      CancellationToken token)
{
    using Read = SelectionRead<QString>;
    const double deadline = c_.scheduler.now() + copyDeadline;
    Read::Status last = Read::Status::absent;
    while (c_.scheduler.now() < deadline) {
        token.throwIfCancelled();
        co_await settle(copyPoll, c_.scheduler);
        if (c_.pasteboard.changeCount() == baseline)
            continue;
        // A clipboard manager that refills the cleared clipboard is no copy
        // of the selection: only the target's own copy counts.
        if (target && c_.pasteboard.isOwnedBy(*target) == false)
            continue;
        const Read text = co_await c_.pasteboard.text(token);
        if (text.value)
            co_return text.value;
        if (text.status == Read::Status::tooLarge)
            throw SelectionError::tooLarge(nameOf(target));
        last = text.status;
    }
    if (last == Read::Status::noAnswer)
        throw SelectionError::clipboardNotResponding(nameOf(target));
    co_return std::nullopt;
}

} // namespace vima
