#include "services/PointerTriggerMonitor.h"

#include <QLoggingCategory>
#include <QPointer>
#include <cmath>

namespace vima {

namespace {

Q_LOGGING_CATEGORY(lcPointerTrigger, "com.vima.Vima.PointerTrigger")

} // namespace

PointerTriggerMonitor::PointerTriggerMonitor(PointerEventTap &tap, Scheduler &scheduler,
                                             QObject *parent)
    : QObject(parent), tap_(tap), scheduler_(scheduler)
{
}

PointerTriggerMonitor::~PointerTriggerMonitor() { stop(); }

void PointerTriggerMonitor::start()
{
    if (tapInstalled_)
        return;
    const bool installed = tap_.install(
        [self = QPointer(this)](PointerEventTap::EventType type, QPointF location) {
            return self && self->handle(type, location);
        });
    if (!installed) {
        qCCritical(lcPointerTrigger, "The right button cannot be watched: the long right-click is off");
        return;
    }
    tapInstalled_ = true;
}

void PointerTriggerMonitor::apply(const PointerTrigger &trigger, bool trusted)
{
    settings_ = trigger;
    recognizer_.holdDelay = trigger.holdDelay;
    recognizer_.moveSlop = trigger.moveSlop;
    recognizer_.phase = LongPressRecognizer::Idle{};
    if (trigger.enabled && trigger.kind == PointerTrigger::Kind::longPressRightClick && trusted)
        start();
    else
        stop();
}

void PointerTriggerMonitor::stop()
{
    cancelHoldTimer();
    if (tapInstalled_)
        tap_.remove();
    tapInstalled_ = false;
}

bool PointerTriggerMonitor::handle(PointerEventTap::EventType type, QPointF location)
{
    switch (type) {
    case PointerEventTap::EventType::rightMouseDown:
        pressed(location);
        return false;
    case PointerEventTap::EventType::rightMouseDragged:
        return dragged(location);
    case PointerEventTap::EventType::rightMouseUp:
        return released();
    }
    return false;
}

void PointerTriggerMonitor::pressed(QPointF location)
{
    recognizer_.phase = LongPressRecognizer::Waiting{location, scheduler_.now()};
    startHoldTimer(settings_.holdDelay);
}

bool PointerTriggerMonitor::dragged(QPointF location)
{
    if (std::holds_alternative<LongPressRecognizer::Recognized>(recognizer_.phase)) {
        if (onDrag)
            onDrag(location);
        return true;
    }
    if (std::holds_alternative<LongPressRecognizer::Waiting>(recognizer_.phase) && isBeyondSlop(location)) {
        cancelHoldTimer();
        recognizer_.phase = LongPressRecognizer::Idle{};
    }
    return false;
}

bool PointerTriggerMonitor::released()
{
    cancelHoldTimer();
    const bool recognized = std::holds_alternative<LongPressRecognizer::Recognized>(recognizer_.phase);
    recognizer_.phase = LongPressRecognizer::Idle{};
    if (recognized && onRelease)
        onRelease();
    return recognized;
}

bool PointerTriggerMonitor::isBeyondSlop(QPointF location) const
{
    const auto *waiting = std::get_if<LongPressRecognizer::Waiting>(&recognizer_.phase);
    const QPointF delta = location - waiting->origin;
    return std::hypot(delta.x(), delta.y()) > recognizer_.moveSlop;
}

void PointerTriggerMonitor::startHoldTimer(double seconds)
{
    cancelHoldTimer();
    holdTimer_ = scheduler_.schedule(seconds, [self = QPointer(this)] {
        if (self)
            self->holdTimerFired();
    });
}

void PointerTriggerMonitor::cancelHoldTimer()
{
    if (holdTimer_)
        scheduler_.cancel(*holdTimer_);
    holdTimer_.reset();
}

void PointerTriggerMonitor::holdTimerFired()
{
    holdTimer_.reset();
    const double now = scheduler_.now();
    const QPointF location = tap_.pointerLocation().value_or(QPointF());
    const auto *waiting = std::get_if<LongPressRecognizer::Waiting>(&recognizer_.phase);
    if (!waiting)
        return;
    const double held = now - waiting->downTime;
    if (held < recognizer_.holdDelay) {
        // Fired early: wait out the rest rather than leave the press hanging.
        startHoldTimer(recognizer_.holdDelay - held);
        return;
    }
    if (isBeyondSlop(location) || (isPaused && isPaused())) {
        recognizer_.phase = LongPressRecognizer::Idle{};
        return;
    }
    recognizer_.phase = LongPressRecognizer::Recognized{};
    if (onTrigger)
        onTrigger(location);
}

} // namespace vima
