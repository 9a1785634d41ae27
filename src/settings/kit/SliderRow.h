#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QSlider;

namespace vima {

// A continuous slider over [minimum, maximum] beside the value printed with
// `decimals` decimals and `unit` ("0.25s", "48pt", "1.00×"). The label always
// shows the stored value; the slider only shows where it falls, so a value
// outside the range is displayed as it is and never clamped. moved() follows
// every change of the slider's position (a drag, a key, an accessible value);
// setValue() is the view's own update and never emits.
class SliderRow final : public QWidget {
    Q_OBJECT

public:
    SliderRow(double minimum, double maximum, int decimals, QString unit, QWidget *parent = nullptr);

    double value() const { return value_; }
    void setValue(double value);
    QString valueText() const;
    QSlider *slider() const { return slider_; }

    static QString format(double value, int decimals, const QString &unit);

Q_SIGNALS:
    void moved(double value);

private:
    int position(double value) const;
    double valueAt(int position) const;

    double minimum_;
    double maximum_;
    int decimals_;
    QString unit_;
    double value_ = 0;
    QSlider *slider_;
    QLabel *label_;
};

} // namespace vima
