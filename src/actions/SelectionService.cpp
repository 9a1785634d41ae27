#include "actions/SelectionService.h"

#include "actions/BringForward.h"
#include "actions/ClipboardRestorer.h"
#include "actions/Logging.h"
#include "actions/SelectionError.h"
#include "actions/TextFunctions.h"
#include "async/Sleep.h"

#include <deque>

namespace vima {
namespace {

constexpr int maxExamined = 96;
constexpr int maxDepth = 8;
constexpr int maxChildren = 32;
constexpr double activationSettle = 0.12;
constexpr double copyPoll = 0.02;
constexpr double copyDeadline = 0.7;

using Kind = AXSelectionRead::Kind;

AXSelectionRead textRead(const QString &text) { return {Kind::text, text}; }
AXSelectionRead statusRead(bool nothingSelected)
{
    return {nothingSelected ? Kind::nothingSelected : Kind::notShared, {}};
}

AXSelectionRead readSelectedText(AccessibilityElement &element)
{
    const AXAnswer<QString> selected = element.selectedText();
    const bool answered = selected.status != AXAnswer<QString>::Status::failed;
    if (selected.value && nilIfBlank(*selected.value))
        return textRead(*selected.value);

    const std::optional<TextRange> range = element.selectedTextRange();
    if (!range)
        return statusRead(answered);
    if (range->length < 1)
        return statusRead(true);
    if (const auto text = element.stringForRange(*range); text && nilIfBlank(*text))
        return textRead(*text);
    if (const auto value = element.value()) {
        const auto cut = substring(*value, range->location, range->length);
        if (cut && nilIfBlank(*cut))
            return textRead(*cut);
    }
    return statusRead(true);
}

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
    const std::optional<QString> appName = target ? std::optional(target->name) : std::nullopt;

    const AXSelectionRead read = readViaAccessibility(target);
    if (read.kind == Kind::text) {
        qCDebug(lcSelection, "Captured %lld chars from the X selection (PRIMARY) the application owns",
                qint64(read.text.size()));
        co_return read.text;
    }
    if (!allowClipboardFallback) {
        if (read.kind == Kind::nothingSelected)
            throw SelectionError::nothingSelected(appName);
        throw SelectionError::selectionNotShared(appName);
    }
    const std::optional<QString> copied = co_await copyViaKeystroke(target, token);
    if (copied && nilIfBlank(*copied)) {
        qCDebug(lcSelection, "Captured %lld chars by copying them to the clipboard (Ctrl+C)", qint64(copied->size()));
        co_return *copied;
    }
    if (read.kind == Kind::notShared)
        throw SelectionError::captureFailed(appName);
    throw SelectionError::nothingSelected(appName);
}

AXSelectionRead SelectionService::readViaAccessibility(const Target &target)
{
    const double deadline = c_.scheduler.now() + axBudget_;
    bool nothingSelected = false;
    const auto readRoot = [&](const AccessibilityElement::Pointer &root) -> std::optional<QString> {
        if (!root)
            return std::nullopt;
        root->setMessagingTimeout(axTimeout_);
        const AXSelectionRead read = readFromRoot(root, deadline);
        nothingSelected = nothingSelected || read.kind == Kind::nothingSelected;
        return read.kind == Kind::text ? std::optional(read.text) : std::nullopt;
    };
    if (target) {
        if (auto text = readRoot(c_.accessibility.applicationElement(*target)))
            return textRead(*text);
    }
    if (auto text = readRoot(c_.accessibility.systemWideElement()))
        return textRead(*text);
    return statusRead(nothingSelected);
}

AXSelectionRead SelectionService::readFromRoot(const AccessibilityElement::Pointer &root, double deadline)
{
    bool nothingSelected = false;
    if (const auto focused = root->focusedElement()) {
        const AXSelectionRead read = readSelectedText(*focused);
        if (read.kind == Kind::text)
            return read;
        nothingSelected = read.kind == Kind::nothingSelected;
    }
    const auto window = root->focusedWindow();
    if (!window)
        return statusRead(nothingSelected);
    const AXSelectionRead searched = searchWindow(window, deadline);
    if (searched.kind == Kind::text)
        return searched;
    return statusRead(nothingSelected || searched.kind == Kind::nothingSelected);
}

AXSelectionRead SelectionService::searchWindow(const AccessibilityElement::Pointer &window, double deadline)
{
    std::deque<std::pair<AccessibilityElement::Pointer, int>> queue{{window, 0}};
    Kind status = Kind::notShared;
    int examined = 0;
    while (examined < maxExamined && !queue.empty() && c_.scheduler.now() <= deadline) {
        auto [element, depth] = queue.front();
        queue.pop_front();
        ++examined;
        const AXSelectionRead read = readSelectedText(*element);
        if (read.kind == Kind::text)
            return read;
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
    return {status, {}};
}

QCoro::Task<std::optional<QString>> SelectionService::copyViaKeystroke(Target target, CancellationToken token)
{
    const ClipboardLane::Hold hold = co_await c_.clipboardLane.take(token);
    const std::optional<PasteboardSnapshot> snapshot = co_await c_.pasteboard.capture();
    if (!snapshot) {
        // Copying now would replace contents we could never put back.
        qCWarning(lcSelection, "The clipboard did not answer; not copying the selection");
        co_return std::nullopt;
    }
    // A copy in another window would read another text.
    if (target) {
        const bool inFront = co_await bringForward(c_, *target, activationSettle, token);
        if (!inFront)
            co_return std::nullopt;
    }
    c_.pasteboard.clear();
    const quint64 baseline = c_.pasteboard.changeCount();
    const ClipboardRestorer restorer(c_.pasteboard, *snapshot);
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
    const double deadline = c_.scheduler.now() + copyDeadline;
    while (c_.scheduler.now() < deadline) {
        token.throwIfCancelled();
        co_await settle(copyPoll, c_.scheduler);
        if (c_.pasteboard.changeCount() == baseline)
            continue;
        // A clipboard manager that refills the cleared clipboard is no copy
        // of the selection: only the target's own copy counts.
        if (target && c_.pasteboard.isOwnedBy(*target) == false)
            continue;
        std::optional<QString> text = co_await c_.pasteboard.text();
        if (text)
            co_return text;
    }
    co_return std::nullopt;
}

} // namespace vima
