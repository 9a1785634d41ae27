#pragma once

#include "async/Scheduler.h"

#include <QWidget>

namespace vima {

class DemoToggle;

// A mock settings row of this application whose switch keeps flipping on by
// itself, above a caption: shows where the user grants the permission. The
// loop starts from off each time the view is shown and stops when it hides.
class PermissionGuideView final : public QWidget {
    Q_OBJECT

public:
    static constexpr double offSeconds = 0.9;
    static constexpr double onSeconds = 1.9;

    explicit PermissionGuideView(Scheduler &scheduler = Scheduler::system(), QWidget *parent = nullptr);
    ~PermissionGuideView() override;

    static QString caption();
    bool isOn() const;
    bool isLooping() const { return timer_ != 0; }

    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void scheduleFlip(double seconds, bool on);
    void stopLoop();
    QRectF rowRect() const;

    Scheduler &scheduler_;
    Scheduler::TimerId timer_ = 0;
    DemoToggle *toggle_;
};

} // namespace vima
