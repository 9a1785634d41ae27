#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

namespace vima {

// What Tavelon holds on CLIPBOARD when it quits stays on the clipboard: a quit
// (from the tray, a signal, a second start: every one ends in a Quit event)
// is held while a keeper, this program in its keeper mode (see
// X11ClipboardKeeper), reads the clipboard and takes it over; a second or two
// at most. Nothing is started when Tavelon does not hold the clipboard.
class X11ClipboardHandover final : public QObject {
    Q_OBJECT

public:
    explicit X11ClipboardHandover(QObject *parent = nullptr);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool startKeeper();
    void checkHandedOver();

    QTimer poll_;
    QDeadlineTimer limit_;
    bool holding_ = false;
    bool released_ = false;
};

} // namespace vima
