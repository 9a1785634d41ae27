#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

namespace vima {

// What Tavelon holds on CLIPBOARD when it quits stays on the clipboard: a quit
// (from the tray, a signal, a second start: every one ends in a Quit event)
// is held while a keeper, this program in its keeper mode (see
// X11ClipboardKeeper), reads the clipboard and takes it over. An action that
// has lent the clipboard (a paste, a copy) puts the user's contents back
// first. Two and a half seconds at most; nothing is started when Tavelon
// holds no clipboard.
class X11ClipboardHandover final : public QObject {
    Q_OBJECT

public:
    explicit X11ClipboardHandover(QObject *parent = nullptr);

    // While lent, the clipboard holds an action's stand-in for the user's.
    void setLent(bool lent);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool startKeeper();
    void advance();
    void release();

    QTimer poll_;
    QDeadlineTimer lendingLimit_;
    QDeadlineTimer limit_;
    bool lent_ = false;
    bool holding_ = false;
    bool keeperStarted_ = false;
    bool released_ = false;
};

} // namespace vima
