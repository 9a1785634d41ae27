#pragma once

#include <QObject>

class QWidget;

namespace vima {

// Keeps values from changing while the user only scrolls or moves on:
// a wheel turned over a combo box, or over a spin box or slider that does
// not have the keyboard focus, scrolls the page around it instead; Up, Down,
// Page Up/Down, Home and End on a closed combo box open its list rather
// than step through it. One filter on the application, installed by the
// settings and first-run windows, covers every control and sheet they show.
class IntentPolicy final : public QObject {
    Q_OBJECT

public:
    // Idempotent: the first call installs the filter for the application's lifetime.
    static void install();
    static bool isInstalled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

} // namespace vima
