#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class AgentProcess;

// What a user does with the real agent on the test's X server, through xdotool.
namespace ring_gestures {

// Where the ring is summoned.
inline const QPoint summonPoint(400, 400);

int xdotool(const QStringList &arguments);
// One xdotool `action` (keydown, keyup) for each key of `names`, in order, in one call.
void xkeys(const QString &action, const QStringList &names);
// The centre of a slot of a ring of `count` slots opened at summonPoint.
QPoint slotPoint(int slot, int count = 8);
void movePointer(QPoint to);
// From `from` to `to` in a few steps, as a hand would move.
void sweepTo(QPoint to, QPoint from = summonPoint);
// Option-Space held down and let go (a plain "key alt+space" lets Alt go first).
void pressHotkey();
void releaseHotkey();
// Option-Space held at summonPoint, a sweep to `slot` once past the quick-tap
// threshold, and the hotkey let go; false when the ring never showed.
bool chooseSlotByHotkey(int slot);
// Option-Space tapped and the key of `keysym` typed, sent as one batch that
// the X server takes in before the agent hears of the hotkey; or, with
// `gapMs`, typed that long after the server has taken the hotkey in.
void tapHotkeyAndType(unsigned keysym, int gapMs = 0);
// Whether a window with exactly that title is on screen.
bool windowVisible(const QString &title);
bool ringVisible();
// Starts `opener` while `running` runs, as a relaunch does: the running copy
// ends and the new one shows its settings. False when that didn't happen.
bool relaunchOpensSettings(AgentProcess &running, AgentProcess &opener);
// The process that owns the active window, or -1.
qint64 activeWindowPid();
// A picture of the whole screen in the build's screenshots folder.
void saveScreenshot(const QString &name);

} // namespace ring_gestures
