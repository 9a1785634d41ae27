#pragma once

#include "platform/PasteboardSnapshot.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <sys/types.h>

namespace vima {

// What Tavelon holds on CLIPBOARD when it quits stays on the clipboard: a quit
// (from the tray, a signal, a second start: every one ends in a Quit event)
// is held while a keeper, this program in its keeper mode (see
// X11ClipboardKeeper), takes the clipboard over with the bytes it is handed.
// An action that has lent the clipboard (a paste, a copy) puts the user's
// contents back first. The hold ends as soon as the keeper owns the
// clipboard or has ended, and after two and a half seconds at most; nothing
// is started when Tavelon holds no clipboard.
class X11ClipboardHandover final : public QObject {
    Q_OBJECT

public:
    // `held` tells what Tavelon holds on the clipboard, as a keeper is to serve it.
    explicit X11ClipboardHandover(std::function<PasteboardSnapshot::Item()> held, QObject *parent = nullptr);

    // While lent, the clipboard holds an action's stand-in for the user's.
    void setLent(bool lent);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool startKeeper();
    bool keeperEnded() const;
    void advance();
    void release();

    std::function<PasteboardSnapshot::Item()> held_;
    QTimer poll_;
    QDeadlineTimer lendingLimit_;
    QDeadlineTimer limit_;
    pid_t keeper_ = 0;
    bool lent_ = false;
    bool holding_ = false;
    bool keeperStarted_ = false;
    bool released_ = false;
};

} // namespace vima
