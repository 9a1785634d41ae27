#pragma once

#include <QWidget>
#include <functional>

class QLabel;

namespace vima {

// The busy indicator: a spinner, what is running, and a cancel control.
class BusyHUDView : public QWidget {
    Q_OBJECT

public:
    BusyHUDView(const QString &message, std::function<void()> onCancel);

    QString message() const;
    void setMessage(const QString &message);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *message_;
    std::function<void()> onCancel_;
};

} // namespace vima
