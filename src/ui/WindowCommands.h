#pragma once

class QWidget;

namespace vima {

// Shows `window` and brings it to the front, restored from the taskbar when
// it was minimized (a raise alone leaves a minimized window where it is).
void bringToFront(QWidget *window);

// Ctrl+W closes `window` as its close button does. The shortcut belongs to
// the window, so an open sheet (its own window) keeps the keys to itself.
void closeOnCtrlW(QWidget *window);

} // namespace vima
