#pragma once

#include "async/Scheduler.h"
#include "model/RingItem.h"
#include "model/VimaConfig.h"
#include "platform/KeyboardGrab.h"
#include "ring/ContextApp.h"
#include "ring/RingViewModel.h"

#include <QMetaObject>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QSizeF>
#include <functional>
#include <memory>
#include <optional>

class QKeyEvent;
class QWheelEvent;

namespace vima {

class AppIconCache;
class ApplicationCatalog;
class ConfigStore;
class HapticFeedback;
class PointerGrab;
class RingPanel;
class ScreenBackdrop;
class SystemBeep;
struct VirtualKeyEvent;

// What the ring window needs of the desktop.
struct RingWindowServices {
    HapticFeedback &haptics;
    SystemBeep &beep;
    KeyboardGrab &keyboard;
    PointerGrab &pointer;
    ScreenBackdrop &backdrop;
    const ApplicationCatalog &catalog;
    Scheduler &scheduler = Scheduler::system();
    const AppIconCache *appIcons = nullptr;
};

// Summons the ring at the pointer and takes it away: places it so it fits on
// the screen, tells a held trigger from a quick tap, turns keys, modifier
// releases and swipes into view-model operations, and hands the chosen item on.
class RingWindowController final : public QObject {
    Q_OBJECT

public:
    static constexpr double focusGrace = 0.35; // seconds in which losing focus is ignored
    static constexpr double swipeDistance = 40;
    static constexpr double swipeQuietGap = 0.2; // seconds without a delta that end a phase-less swipe

    RingWindowController(ConfigStore &store, RingWindowServices services, QObject *parent = nullptr);
    ~RingWindowController() override;

    // Called after the ring has gone, with the chosen item or none.
    std::function<void(const std::optional<RingItem> &)> onActivate;
    // The hotkey pressed while the ring holds the keyboard (the global grab
    // cannot see it then).
    std::function<void()> onHotkeyPressed;
    // Where the pointer is, in global coordinates.
    std::function<QPointF()> pointerPosition;

    bool isVisible() const { return isVisible_; }
    bool isSticky() const { return isSticky_; }
    RingViewModel &viewModel() { return *viewModel_; }
    RingPanel *panel() const;

    // At `pointer`, where the user asked for it, else where the pointer is now.
    void show(const std::optional<QString> &previousBundleID, bool openedViaHotkey,
              std::optional<QPointF> pointer = std::nullopt);
    void hide();
    void triggerReleased();
    // A drag of the pointer trigger's held press, in global coordinates.
    void pointerDragged(QPointF location);
    // The active application changed while the ring was up.
    void applicationDeactivated();

    // Monitor handlers, also the seams for tests.
    bool handleKeyDown(const VirtualKeyEvent &event);
    void handleKeyUp(const VirtualKeyEvent &event);
    void handleFlagsChanged(quint64 modifierFlags);
    enum class ScrollPhase { none, began, changed, ended, cancelled, momentum };
    void handleScroll(ScrollPhase phase, QPointF delta);

private:
    void activateFromModel(const std::optional<RingItem> &item);
    std::optional<ContextApp> contextApp(const Ring &ring, const std::optional<QString> &bundleID) const;
    void resetViewModel(const Ring &ring, const VimaConfig::Pages &pages,
                        const std::optional<ContextApp> &app, const VimaConfig &config);
    void makePanel();
    void warmUp();
    void warmUp(QSize screen, double ratio);
    QRect ringArea();
    void placePanel(bool fresh);
    void recentre(qsizetype depth);
    void installMonitors();
    void removeMonitors();
    void earlyKeyPressed(const KeyboardGrab::KeyPress &key);
    void keyPressed(QKeyEvent *event);
    void keyReleased(QKeyEvent *event);
    void wheel(QWheelEvent *event);
    bool isHotkey(const VirtualKeyEvent &event) const;
    void resetSwipe();
    void restartSwipeGap();

    ConfigStore &store_;
    RingWindowServices services_;
    std::unique_ptr<RingViewModel> viewModel_;
    QPointer<RingPanel> panel_;

    bool isVisible_ = false;
    bool isSticky_ = false;
    bool openedViaHotkey_ = false;
    bool monitorsInstalled_ = false;
    double shownAt_ = -1e300;
    QPoint screenOrigin_;
    QPointF summonPoint_;
    QSizeF summonScreenSize_;
    qsizetype depth_ = 1;
    QMetaObject::Connection depthClamp_;
    QMetaObject::Connection pageFit_;
    QPointF swipeAccum_;
    bool swipeLatched_ = false;
    std::optional<Scheduler::TimerId> swipeGapTimer_;
    // Each hide bumps it, so a delayed order-out never cuts short a later show.
    quint64 generation_ = 0;
};

} // namespace vima
