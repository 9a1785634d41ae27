#pragma once

#include "async/Scheduler.h"
#include "model/Settings.h"
#include "platform/PointerEventTap.h"
#include "services/LongPressRecognizer.h"

#include <QObject>
#include <QPointF>
#include <functional>
#include <optional>

namespace vima {

// Turns a long right-click anywhere on screen into the same summon and release
// signals as the hotkey. Presses held still for the hold delay summon; the
// drags and the release of such a press never reach the application under the
// pointer.
class PointerTriggerMonitor : public QObject {
    Q_OBJECT

public:
    explicit PointerTriggerMonitor(PointerEventTap &tap, Scheduler &scheduler = Scheduler::system(),
                                   QObject *parent = nullptr);
    ~PointerTriggerMonitor() override;

    // Called once a long press is recognised, with the pointer position.
    std::function<void(QPointF location)> onTrigger;
    // Called when the button of a recognised press goes up.
    std::function<void()> onRelease;
    // Called with each drag of a recognised press: the ring sees the pointer
    // move through these, since the drags themselves are withheld.
    std::function<void(QPointF location)> onDrag;
    // Asked as a press comes due: true holds the trigger back, and the press
    // goes on as an ordinary click.
    std::function<bool()> isPaused;

    void start();
    void stop();
    bool isStarted() const { return tapInstalled_; }

    // Takes the configuration's trigger: its settings, and a recogniser of its
    // hold delay and slop back at rest. Runs only for an enabled long
    // right-click while `trusted`; the other kinds have no behaviour here.
    void apply(const PointerTrigger &trigger, bool trusted);

    const PointerTrigger &settings() const { return settings_; }
    void setSettings(const PointerTrigger &settings) { settings_ = settings; }
    const LongPressRecognizer &recognizer() const { return recognizer_; }

private:
    bool handle(PointerEventTap::EventType type, QPointF location);
    void pressed(QPointF location);
    bool dragged(QPointF location);
    bool released();
    bool isBeyondSlop(QPointF location) const;
    void startHoldTimer(double seconds);
    void cancelHoldTimer();
    void holdTimerFired();

    PointerEventTap &tap_;
    Scheduler &scheduler_;
    bool tapInstalled_ = false;
    std::optional<Scheduler::TimerId> holdTimer_;
    LongPressRecognizer recognizer_;
    PointerTrigger settings_;
};

} // namespace vima
