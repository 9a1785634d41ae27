#pragma once

#include "actions/ActionOutcome.h"
#include "async/Scheduler.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QScrollArea;

namespace vima {

// The result panel: one outcome with its status, body, recovery hint and
// buttons (Copy and Replace Selection for successes; Copy and Close for an
// answer already written into the target).
class ResultView : public QWidget {
    Q_OBJECT

public:
    struct Actions {
        std::function<void()> copy;
        std::function<void()> replace;
        std::function<void()> close;
    };

    static constexpr int width = 460;
    static constexpr int minHeight = 180;
    static constexpr int maxHeight = 520;

    ResultView(const ActionOutcome &outcome, Actions actions, Scheduler &scheduler);

    bool didCopy() const { return didCopy_; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *makeHeader(const ActionOutcome &outcome);
    QWidget *makeBody(const ActionOutcome &outcome);
    QWidget *makeFooter(const ActionOutcome &outcome);
    QPushButton *makeCopyButton(bool prominent);
    void installKeys(const ActionOutcome &outcome);
    void copy();
    void setDidCopy(bool copied);
    QWidget *makeBodyText(const ActionOutcome &outcome);
    static QWidget *makeShortBody(const ActionOutcome &outcome);
    static QWidget *makeLongBody(const ActionOutcome &outcome);
    int fittingHeight() const;

    Actions actions_;
    Scheduler &scheduler_;
    bool didCopy_ = false;
    QWidget *header_ = nullptr;
    QWidget *body_ = nullptr;
    QWidget *footer_ = nullptr;
    QScrollArea *scroll_ = nullptr; // none when the body is a text view that scrolls itself
    QWidget *recovery_ = nullptr;
    QPushButton *copyButton_ = nullptr;
};

} // namespace vima
