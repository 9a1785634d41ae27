#include "ring/RingViewModel.h"

#include "model/KeyCodes.h"
#include "platform/HapticFeedback.h"
#include "platform/SystemBeep.h"
#include "ring/RingText.h"

#include <QPointer>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace vima {

namespace {

constexpr double turn = 2 * std::numbers::pi;

// An angle difference brought into (-pi, pi].
double normalised(double difference)
{
    double d = std::fmod(difference, turn);
    if (d > std::numbers::pi)
        d -= turn;
    if (d <= -std::numbers::pi)
        d += turn;
    return d;
}

qint64 wrapped(qint64 index, qint64 count) { return ((index % count) + count) % count; }

template<typename T>
bool assign(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

RingViewModel::RingViewModel(const Ring &ring, qint64 globalSlotCount, const Appearance &appearance,
                             HapticFeedback &haptics, SystemBeep &beep, Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , haptics_(haptics)
    , beep_(beep)
    , scheduler_(scheduler)
    , stack_{ring}
    , globalSlotCount_(globalSlotCount)
    , appearance_(appearance)
{
}

RingViewModel::~RingViewModel() { cancelDwell(); }

void RingViewModel::setStack(const QList<Ring> &stack)
{
    if (assign(stack_, stack))
        Q_EMIT stackChanged();
}

void RingViewModel::setGlobalSlotCount(qint64 count)
{
    if (assign(globalSlotCount_, count))
        Q_EMIT globalSlotCountChanged();
}

void RingViewModel::setAppearance(const Appearance &appearance)
{
    if (assign(appearance_, appearance))
        Q_EMIT appearanceChanged();
}

void RingViewModel::setPages(const QList<Ring> &pages)
{
    if (assign(pages_, pages))
        Q_EMIT pagesChanged();
}

void RingViewModel::setPageIndex(qsizetype index)
{
    if (assign(pageIndex_, index))
        Q_EMIT pageIndexChanged();
}

void RingViewModel::setContextApp(const std::optional<ContextApp> &app)
{
    if (assign(contextApp_, app))
        Q_EMIT contextAppChanged();
}

void RingViewModel::setHoveredSlot(std::optional<int> slot)
{
    if (assign(hoveredSlot_, slot))
        Q_EMIT hoveredSlotChanged();
}

void RingViewModel::setKeyboardFocusSlot(std::optional<int> slot)
{
    if (assign(keyboardFocusSlot_, slot))
        Q_EMIT keyboardFocusSlotChanged();
}

void RingViewModel::setPresented(bool presented)
{
    if (assign(isPresented_, presented))
        Q_EMIT isPresentedChanged();
}

void RingViewModel::setRingCenter(std::optional<QPointF> centre)
{
    if (assign(ringCenter_, centre))
        Q_EMIT ringCenterChanged();
}

Ring RingViewModel::currentRing() const
{
    if (stack_.isEmpty())
        return Ring{QUuid::createUuid(), {}, std::nullopt, false, std::nullopt, {}};
    return stack_.last();
}

std::optional<Ring> RingViewModel::parentRing() const
{
    if (stack_.size() < 2)
        return std::nullopt;
    return stack_.at(stack_.size() - 2);
}

int RingViewModel::effectiveSlotCount() const
{
    return Ring::drawnSlotCount(currentRing().capacity(globalSlotCount_));
}

bool RingViewModel::canFlipPages() const { return pages_.size() >= 2 && stack_.size() < 2; }

std::optional<ContextApp> RingViewModel::visibleContextApp() const
{
    if (stack_.size() < 2 && currentRing().bundleIDMatch)
        return contextApp_;
    return std::nullopt;
}

std::optional<QString> RingViewModel::breadcrumb() const
{
    if (stack_.size() < 2)
        return std::nullopt;
    QStringList names;
    for (const Ring &ring : stack_)
        names.append(ring.name.isEmpty() ? QStringLiteral("Ring") : RingText::bounded(ring.name));
    return names.join(QStringLiteral(" \u203A "));
}

QString RingViewModel::currentPageTitle() const
{
    if (pageIndex_ < 0 || pageIndex_ >= pages_.size())
        return {};
    const QString &name = pages_.at(pageIndex_).name;
    return name.isEmpty() ? QStringLiteral("Page %1").arg(pageIndex_ + 1) : name;
}

Appearance RingViewModel::appearanceInUse() const
{
    // Near what the settings offer: a hand-edited 180 s animation or 5000 pt
    // radius would leave a ring that never shows or cannot be closed. Radii
    // are bounded as drawn, so that the widest ring fits a 1000 pt screen.
    const Appearance defaults;
    const auto length = [](double value, double low, double high, double fallback) {
        return std::isfinite(value) && value >= 0 ? std::clamp(value, low, high) : fallback;
    };
    const auto seconds = [](double value, double high) {
        return std::isfinite(value) && value >= 0 ? std::min(value, high) : 0.0;
    };
    Appearance used = appearance_;
    used.sizeScale = length(used.sizeScale, 0.35, 3.2, defaults.sizeScale);
    used.innerRadius = length(used.innerRadius, 0, 240 / used.sizeScale, defaults.innerRadius);
    used.outerRadius = length(used.outerRadius, 50, 480 / used.sizeScale, defaults.outerRadius);
    used.animationDuration = seconds(used.animationDuration, 1.0);
    used.stickyTapThreshold = seconds(used.stickyTapThreshold, 1.6);
    used.subRingDwell = seconds(used.subRingDwell, 1.6);
    return used;
}

RingGeometry RingViewModel::geometry(QSizeF viewSize) const
{
    const Appearance used = appearanceInUse();
    const double inner = used.innerRadius * used.sizeScale;
    const double levels = static_cast<double>(std::max<qsizetype>(stack_.size() - 1, 0));
    double outer = levels * nestedRingWidening + used.outerRadius * used.sizeScale;
    if (outer < inner + 1)
        outer = inner + 1;
    const QPointF centre = ringCenter_.value_or(QPointF(viewSize.width() / 2, viewSize.height() / 2));
    return RingGeometry{effectiveSlotCount(), inner, outer, centre};
}

void RingViewModel::pointerMoved(QPointF point, QSizeF viewSize)
{
    const std::optional<int> slot = geometry(viewSize).slot(point, pointerSlack);
    if (slot == hoveredSlot_)
        return;
    setHoveredSlot(slot);
    if (slot)
        setKeyboardFocusSlot(std::nullopt);
    haptics_.perform(HapticFeedback::Pattern::alignment);
    hoverChanged(slot);
}

void RingViewModel::hoverChanged(std::optional<int> slot)
{
    cancelDwell();
    if (!slot)
        return;
    const auto item = currentRing().itemInSlot(*slot);
    if (!item || item->action.kind() != ItemAction::Kind::openRing)
        return;
    const QPointer<RingViewModel> self(this);
    const int target = *slot;
    dwellTimer_ = scheduler_.schedule(appearanceInUse().subRingDwell, [self, target] {
        if (self)
            self->dwellEnded(target);
    });
}

void RingViewModel::dwellEnded(int slot)
{
    dwellTimer_.reset();
    if (hoveredSlot_ != slot)
        return;
    if (const auto item = currentRing().itemInSlot(slot))
        activate(*item);
}

void RingViewModel::cancelDwell()
{
    if (dwellTimer_)
        scheduler_.cancel(*dwellTimer_);
    dwellTimer_.reset();
}

void RingViewModel::clearHover()
{
    cancelDwell();
    hoveredSlot_.reset();
    Q_EMIT hoveredSlotChanged();
}

void RingViewModel::clearSlots()
{
    setHoveredSlot(std::nullopt);
    setKeyboardFocusSlot(std::nullopt);
}

bool RingViewModel::refusePush()
{
    beep_.beep();
    return false;
}

bool RingViewModel::pushRing(const QUuid &ringID)
{
    if (stack_.size() >= maxDepth)
        return refusePush();
    if (std::any_of(stack_.cbegin(), stack_.cend(), [&](const Ring &ring) { return ring.id == ringID; }))
        return refusePush();
    const std::optional<Ring> ring = resolveRing ? resolveRing(ringID) : std::nullopt;
    if (!ring)
        return refusePush();
    cancelDwell();
    stack_.append(*ring);
    Q_EMIT stackChanged();
    clearSlots();
    haptics_.perform(HapticFeedback::Pattern::levelChange);
    return true;
}

bool RingViewModel::goBack()
{
    if (stack_.size() < 2)
        return false;
    cancelDwell();
    stack_.removeLast();
    Q_EMIT stackChanged();
    clearSlots();
    haptics_.perform(HapticFeedback::Pattern::levelChange);
    return true;
}

void RingViewModel::setPage(qint64 index)
{
    if (!canFlipPages())
        return;
    const qint64 page = wrapped(index, pages_.size());
    if (page == pageIndex_)
        return;
    cancelDwell();
    setPageIndex(page);
    setStack({pages_.at(page)});
    clearSlots();
    haptics_.perform(HapticFeedback::Pattern::levelChange);
}

void RingViewModel::commit()
{
    if (const std::optional<int> slot = highlightedSlot()) {
        if (const auto item = currentRing().itemInSlot(*slot)) {
            activate(*item);
            return;
        }
    }
    if (!goBack())
        cancel();
}

void RingViewModel::activate(const RingItem &item)
{
    if (const auto *pack = std::get_if<OpenRingPayload>(&item.action.payload)) {
        pushRing(pack->ringID);
        return;
    }
    cancelDwell();
    if (onActivate)
        onActivate(item);
}

void RingViewModel::cancel()
{
    cancelDwell();
    if (onActivate)
        onActivate(std::nullopt);
}

void RingViewModel::moveFocus(int dx, int dy)
{
    cancelDwell();
    const double angle = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
    if (!keyboardFocusSlot_ && !hoveredSlot_) {
        setKeyboardFocusSlot(nearestSlot(angle));
    } else {
        const int current = hoveredSlot_.value_or(keyboardFocusSlot_.value_or(0));
        const int count = effectiveSlotCount();
        const double centre = current * turn / count - std::numbers::pi / 2;
        const int step = normalised(angle - centre) < 0 ? -1 : 1;
        setHoveredSlot(std::nullopt);
        setKeyboardFocusSlot(static_cast<int>(wrapped(current + step, count)));
    }
    haptics_.perform(HapticFeedback::Pattern::alignment);
}

int RingViewModel::nearestSlot(double angle) const
{
    const int count = effectiveSlotCount();
    if (count < 2)
        return 0;
    int best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < count; ++i) {
        const double distance = std::abs(normalised(angle - (i * turn / count - std::numbers::pi / 2)));
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

bool RingViewModel::handleKey(quint16 keyCode, const std::optional<QString> &characters, quint64 modifierFlags)
{
    const bool shift = modifierFlags & modifiers::shift;
    const bool command = modifierFlags & modifiers::command;
    switch (keyCode) {
    case keys::tab:
        setPage(pageIndex_ + (shift ? -1 : 1));
        return true;
    case keys::returnKey:
    case keys::keypadEnter:
        commit();
        return true;
    case keys::deleteKey:
    case keys::forwardDelete:
        return goBack();
    case keys::escape:
        if (!goBack())
            cancel();
        return true;
    case keys::leftArrow:
        command ? setPage(pageIndex_ - 1) : moveFocus(-1, 0);
        return true;
    case keys::rightArrow:
        command ? setPage(pageIndex_ + 1) : moveFocus(1, 0);
        return true;
    case keys::upArrow:
        moveFocus(0, -1);
        return true;
    case keys::downArrow:
        moveFocus(0, 1);
        return true;
    default:
        return handleDigit(characters);
    }
}

bool RingViewModel::handleDigit(const std::optional<QString> &characters)
{
    if (!characters || characters->isEmpty())
        return false;
    const int value = QChar::digitValue(characters->toUcs4().constFirst());
    if (value < 0 || value > 9)
        return false;
    const int slot = value == 0 ? 9 : value - 1;
    if (slot >= effectiveSlotCount())
        return false;
    if (const auto item = currentRing().itemInSlot(slot))
        activate(*item);
    else
        beep_.beep();
    return true;
}

} // namespace vima
