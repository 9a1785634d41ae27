#pragma once

#include <QTimer>
#include <QWidget>

namespace vima {

// A small turning arc that says work is under way; it turns only while shown.
class BusySpinner final : public QWidget {
    Q_OBJECT

public:
    explicit BusySpinner(const QString &accessibleName, int side = 14, QWidget *parent = nullptr);

    bool isTurning() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QTimer timer_;
    int angle_ = 0;
};

} // namespace vima
