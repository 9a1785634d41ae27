#pragma once

#include "actions/ActionOutcome.h"
#include "actions/BusyHUDView.h"
#include "actions/ResultView.h"
#include "async/Scheduler.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>

namespace vima {

// The floating result panel and the busy indicator, both next to the pointer.
class ResultWindowController : public QObject {
    Q_OBJECT

public:
    explicit ResultWindowController(Scheduler &scheduler = Scheduler::system(), QObject *parent = nullptr);
    ~ResultWindowController() override;

    // Replaces any earlier result and hides the busy indicator.
    void show(const ActionOutcome &outcome);
    // Shows the indicator, or changes the text of the one on screen in place.
    void showBusy(const QString &message);
    void hideBusy();

    ResultView *resultPanel() const { return resultPanel_; }
    BusyHUDView *hudPanel() const { return hudPanel_; }

    // Installed by the composition root.
    std::function<void(const ActionOutcome &)> onReplace;
    std::function<void()> onCancelBusy;
    // Where the pointer is, in screen coordinates.
    std::function<QPoint()> pointerLocation;

private:
    void closeResult();

    Scheduler &scheduler_;
    QPointer<ResultView> resultPanel_;
    QPointer<BusyHUDView> hudPanel_;
};

} // namespace vima
