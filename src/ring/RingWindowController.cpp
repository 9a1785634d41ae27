#include "ring/RingWindowController.h"

#include "model/KeyCodes.h"
#include "platform/ApplicationCatalog.h"
#include "platform/KeyboardGrab.h"
#include "platform/PointerGrab.h"
#include "platform/ScreenBackdrop.h"
#include "ring/RingPainter.h"
#include "ring/RingPanel.h"
#include "ring/RingPlacement.h"
#include "ring/RingText.h"
#include "ring/RingView.h"
#include "ui/VirtualKeyEvent.h"
#include "store/AppDisplayName.h"
#include "store/ConfigStore.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcRingWindow, "com.vima.Vima.Ring")

namespace vima {

namespace {

constexpr int warmUpDelay = 1500; // ms

quint64 modifierBitOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Shift: return modifiers::shift;
    case Qt::Key_Control: return modifiers::control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return modifiers::option;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R: return modifiers::command;
    default: return 0;
    }
}

} // namespace

RingWindowController::RingWindowController(ConfigStore &store, RingWindowServices services, QObject *parent)
    : QObject(parent)
    , store_(store)
    , services_(services)
{
    pointerPosition = [] { return QPointF(QCursor::pos()); };
    const VimaConfig &config = store_.config();
    viewModel_ = std::make_unique<RingViewModel>(config.primaryRing(), config.slotCount, config.appearance,
                                                 services_.haptics, services_.beep, services_.scheduler);
    QPointer<RingWindowController> self(this);
    viewModel_->onActivate = [self](const std::optional<RingItem> &item) {
        if (self)
            self->activateFromModel(item);
    };
    QPointer<ConfigStore> weakStore(&store_);
    viewModel_->resolveRing = [weakStore](const QUuid &id) -> std::optional<Ring> {
        if (!weakStore)
            return std::nullopt;
        return weakStore->config().ringWithID(id);
    };
    makePanel();
    // After start has settled, away from any hotkey.
    QTimer::singleShot(warmUpDelay, this, [this] { warmUp(); });
}

RingWindowController::~RingWindowController()
{
    removeMonitors();
    resetSwipe();
    delete panel_.data();
}

RingPanel *RingWindowController::panel() const { return panel_; }

void RingWindowController::activateFromModel(const std::optional<RingItem> &item)
{
    hide();
    if (onActivate)
        onActivate(item);
}

std::optional<ContextApp> RingWindowController::contextApp(const Ring &ring,
                                                           const std::optional<QString> &bundleID) const
{
    if (!ring.bundleIDMatch || !bundleID || *ring.bundleIDMatch != *bundleID)
        return std::nullopt;
    QString name = appDisplayName(services_.catalog, *bundleID).value_or(QString());
    if (name.isEmpty())
        name = ring.name.isEmpty() ? *bundleID : ring.name;
    return ContextApp{*bundleID, RingText::bounded(name)};
}

void RingWindowController::resetViewModel(const Ring &ring, const VimaConfig::Pages &pages,
                                          const std::optional<ContextApp> &app, const VimaConfig &config)
{
    RingViewModel &vm = *viewModel_;
    vm.cancelDwell();
    vm.setStack({ring});
    vm.setPages(pages.rings);
    vm.setContextApp(app);
    const qsizetype count = pages.rings.size();
    vm.setPageIndex(count == 0 ? 0 : std::clamp<qsizetype>(pages.startIndex, 0, count - 1));
    vm.setGlobalSlotCount(config.slotCount);
    vm.setAppearance(config.appearance);
    vm.setHoveredSlot(std::nullopt);
    vm.setKeyboardFocusSlot(std::nullopt);
}

void RingWindowController::makePanel()
{
    auto *view = new RingView(*viewModel_, false, RingStyle{}, services_.scheduler);
    view->setAppIcons(services_.appIcons);
    panel_ = new RingPanel(view);
    panel_->onKeyPress = [this](QKeyEvent *event) { keyPressed(event); };
    panel_->onKeyRelease = [this](QKeyEvent *event) { keyReleased(event); };
    panel_->onWheel = [this](QWheelEvent *event) { wheel(event); };
    panel_->winId(); // the native window too: nothing of it is left for the hotkey's path
    QPointer<RingWindowController> self(this);
    services_.pointer.onOutsideClick = [self] {
        if (self && self->isVisible_)
            self->viewModel_->cancel();
    };
    services_.keyboard.onEarlyKey = [self](const KeyboardGrab::KeyPress &key) {
        if (self)
            self->earlyKeyPressed(key);
    };
}

// Frames of the first ring's appear animation drawn off screen, so that the
// first show finds its tiles at every scale, icons, shadows and dimming
// already rendered: once for each screen's pixel ratio.
void RingWindowController::warmUp()
{
    if (isVisible_)
        return;
    QList<double> ratios;
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (!ratios.contains(screen->devicePixelRatio())) {
            ratios.append(screen->devicePixelRatio());
            warmUp(screen->size(), screen->devicePixelRatio());
        }
    }
}

void RingWindowController::warmUp(QSize screen, double ratio)
{
    constexpr int frames = 9;
    RingFrame frame = panel_->view()->frame();
    frame.dimming = 1;
    for (int i = 0; i < frames; ++i) {
        frame.presented = double(i) / (frames - 1);
        const RingPainter painter(frame);
        // Never more than a screen, whatever the ring's settings.
        QRect area = painter.extent().toAlignedRect();
        area.setSize(area.size().boundedTo(screen));
        QImage image(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter canvas(&image);
        canvas.translate(-area.topLeft());
        painter.paint(canvas);
    }
}

// What the ring may draw at its current level, on the screen it is on.
QRect RingWindowController::ringArea()
{
    RingView &view = *panel_->view();
    const QSize screen = summonScreenSize_.toSize();
    view.setCanvas(screen, view.canvasOrigin());
    const QRect extent = RingPainter(view.frame()).extent().toAlignedRect();
    return extent.intersected(QRect(QPoint(), screen)).translated(screenOrigin_);
}

// The panel covers only what the ring draws; a fresh show fits it anew, and
// while shown it only grows (a pack's wider ring), so nothing drawn is cut.
void RingWindowController::placePanel(bool fresh)
{
    QRect area = ringArea();
    if (!fresh) {
        area |= panel_->geometry();
        if (area == panel_->geometry())
            return;
    }
    // Without a compositor a translucent window shows black: paint the screen.
    const bool translucent = services_.backdrop.isTranslucencyAvailable();
    panel_->moveOver(area, translucent ? QPixmap() : services_.backdrop.capture(area));
    panel_->view()->setCanvas(summonScreenSize_.toSize(), area.topLeft() - screenOrigin_);
}

void RingWindowController::show(const std::optional<QString> &previousBundleID, bool openedViaHotkey,
                                std::optional<QPointF> summonedAt)
{
    // Before anything else: a key typed right after the hotkey is the ring's.
    installMonitors();
    const double summonedTime = services_.scheduler.now();
    const VimaConfig config = store_.config();
    const QPointF pointer = summonedAt ? *summonedAt : pointerPosition();
    QScreen *screen = QGuiApplication::screenAt(pointer.toPoint());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        if (!isVisible_)
            removeMonitors();
        return;
    }

    const VimaConfig::Pages pages = config.ringsForApp(previousBundleID);
    const bool startValid = pages.startIndex >= 0 && pages.startIndex < pages.rings.size();
    const Ring ring = startValid ? pages.rings.at(pages.startIndex) : config.primaryRing();
    if (lcRingWindow().isDebugEnabled()) {
        QStringList titles;
        for (const RingItem &item : ring.items)
            titles.append(RingText::bounded(item.title));
        qCDebug(lcRingWindow).noquote() << "Ring shown:" << titles.join(QStringLiteral(", "));
    }
    resetViewModel(ring, pages, contextApp(ring, previousBundleID), config);

    const QRect frame = screen->geometry();
    screenOrigin_ = frame.topLeft();
    summonPoint_ = pointer - QPointF(frame.topLeft());
    summonScreenSize_ = QSizeF(frame.size());
    depth_ = 1;
    recentre(1);
    placePanel(true);
    panel_->setIgnoresMouseEvents(false);

    QObject::disconnect(depthClamp_);
    depthClamp_ = connect(viewModel_.get(), &RingViewModel::stackChanged, this, [this] {
        const qsizetype depth = viewModel_->stack().size();
        if (depth != depth_) {
            depth_ = depth;
            recentre(depth);
        }
        if (isVisible_)
            placePanel(false);
    });
    QObject::disconnect(pageFit_);
    pageFit_ = connect(viewModel_.get(), &RingViewModel::pageIndexChanged, this, [this] {
        if (isVisible_)
            placePanel(false);
    });

    shownAt_ = services_.scheduler.now();
    isSticky_ = false;
    isVisible_ = true;
    openedViaHotkey_ = openedViaHotkey;
    ++generation_;
    // Presented before the panel maps, with the animation's clock started at
    // the summons: the first frame on screen already shows the ring.
    panel_->view()->startClockAt(summonedTime);
    viewModel_->setPresented(true);
    panel_->show();
    panel_->raise();
}

void RingWindowController::recentre(qsizetype depth)
{
    // As drawn: a hand-edited radius the view cannot use is drawn at its default.
    const Appearance appearance = viewModel_->appearanceInUse();
    const double margin = RingPlacement::margin(appearance.outerRadius, appearance.sizeScale, depth);
    viewModel_->setRingCenter(RingPlacement::centre(summonPoint_, summonScreenSize_, margin));
}

void RingWindowController::hide()
{
    if (!isVisible_)
        return;
    isVisible_ = false;
    isSticky_ = false;
    removeMonitors();
    if (panel_)
        panel_->setIgnoresMouseEvents(true);
    viewModel_->setPresented(false);

    const double delay = viewModel_->appearanceInUse().animationDuration + 0.05;
    const quint64 generation = ++generation_;
    QPointer<RingWindowController> self(this);
    services_.scheduler.schedule(delay, [self, generation] {
        if (!self || self->isVisible_ || self->generation_ != generation)
            return;
        if (self->panel_)
            self->panel_->hideAndRelease();
        self->viewModel_->setHoveredSlot(std::nullopt);
        self->viewModel_->setKeyboardFocusSlot(std::nullopt);
    });
}

void RingWindowController::triggerReleased()
{
    if (!isVisible_)
        return;
    const double elapsed = services_.scheduler.now() - shownAt_;
    if (elapsed < viewModel_->appearanceInUse().stickyTapThreshold) {
        isSticky_ = true;
        return;
    }
    if (isSticky_)
        return;
    viewModel_->commit();
    if (isVisible_)
        isSticky_ = true;
}

void RingWindowController::pointerDragged(QPointF location)
{
    if (!isVisible_ || !panel_)
        return;
    viewModel_->pointerMoved(location - QPointF(screenOrigin_), summonScreenSize_);
}

void RingWindowController::applicationDeactivated()
{
    if (isVisible_ && services_.scheduler.now() - shownAt_ > focusGrace)
        viewModel_->cancel();
}

void RingWindowController::installMonitors()
{
    removeMonitors();
    resetSwipe();
    if (panel_) {
        services_.keyboard.grab(panel_->winId());
        services_.pointer.grab(panel_->winId());
    }
    monitorsInstalled_ = true;
}

void RingWindowController::removeMonitors()
{
    if (!monitorsInstalled_)
        return;
    monitorsInstalled_ = false;
    services_.keyboard.release();
    services_.pointer.release();
}

bool RingWindowController::isHotkey(const VirtualKeyEvent &event) const
{
    const HotkeySpec &hotkey = store_.config().hotkey;
    return event.keyCode == hotkey.keyCode &&
           (event.modifierFlags & HotkeySpec::modifierMask) == (hotkey.modifierFlags & HotkeySpec::modifierMask);
}

bool RingWindowController::handleKeyDown(const VirtualKeyEvent &event)
{
    if (!isVisible_)
        return false;
    if (isHotkey(event)) {
        if (onHotkeyPressed)
            onHotkeyPressed();
        return true;
    }
    return viewModel_->handleKey(event.keyCode, event.characters, event.modifierFlags & HotkeySpec::modifierMask);
}

// Typed right after the hotkey, before the panel had the keyboard: the ring's
// all the same.
void RingWindowController::earlyKeyPressed(const KeyboardGrab::KeyPress &key)
{
    if (key.keyCode <= 0xFFFF)
        handleKeyDown(VirtualKeyEvent{quint16(key.keyCode), key.characters, key.modifierFlags});
}

void RingWindowController::handleKeyUp(const VirtualKeyEvent &event)
{
    // While the ring holds the keyboard, the hotkey's own release comes here.
    // In a ring the hotkey did not open, the bare key is no release of it.
    if (openedViaHotkey_ && event.keyCode == store_.config().hotkey.keyCode)
        triggerReleased();
}

void RingWindowController::handleFlagsChanged(quint64 modifierFlags)
{
    if (!isVisible_ || !openedViaHotkey_)
        return;
    const quint64 required = store_.config().hotkey.modifierFlags & HotkeySpec::modifierMask;
    if ((modifierFlags & required) != required)
        triggerReleased();
}

void RingWindowController::handleScroll(ScrollPhase phase, QPointF delta)
{
    if (!isVisible_)
        return;
    switch (phase) {
    case ScrollPhase::began:
    case ScrollPhase::ended:
    case ScrollPhase::cancelled:
        resetSwipe();
        return;
    case ScrollPhase::changed:
        break;
    case ScrollPhase::none:
        // X11 reports no phases: a gesture is a run of deltas, and a quiet
        // gap ends it.
        if (delta.isNull())
            return;
        restartSwipeGap();
        break;
    case ScrollPhase::momentum:
        return;
    }
    swipeAccum_ += delta;
    const double x = swipeAccum_.x(), y = swipeAccum_.y();
    if (swipeLatched_ || std::abs(x) <= std::abs(y) || std::abs(x) <= swipeDistance)
        return;
    swipeLatched_ = true;
    const qint64 page = static_cast<qint64>(viewModel_->pageIndex());
    viewModel_->setPage(x >= 0 ? page - 1 : page + 1);
}

void RingWindowController::resetSwipe()
{
    if (swipeGapTimer_)
        services_.scheduler.cancel(*swipeGapTimer_);
    swipeGapTimer_.reset();
    swipeAccum_ = {};
    swipeLatched_ = false;
}

void RingWindowController::restartSwipeGap()
{
    if (swipeGapTimer_)
        services_.scheduler.cancel(*swipeGapTimer_);
    swipeGapTimer_ = services_.scheduler.schedule(swipeQuietGap, [self = QPointer(this)] {
        if (!self)
            return;
        self->swipeGapTimer_.reset();
        self->resetSwipe();
    });
}

void RingWindowController::keyPressed(QKeyEvent *event)
{
    if (modifierBitOf(event->key()))
        return; // a modifier going down never releases the ring
    const auto key = VirtualKeyEvent::from(*event);
    if (!key)
        return;
    // A held hotkey repeats into the grab; only a fresh press toggles the ring.
    if (event->isAutoRepeat() && isHotkey(*key))
        return;
    event->setAccepted(handleKeyDown(*key));
}

void RingWindowController::keyReleased(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    if (const quint64 bit = modifierBitOf(event->key())) {
        // The event still reports the modifier that is going up.
        handleFlagsChanged(modifiers::flagsOf(event->modifiers()) & ~bit);
        return;
    }
    if (const auto key = VirtualKeyEvent::from(*event))
        handleKeyUp(*key);
}

void RingWindowController::wheel(QWheelEvent *event)
{
    static const auto phaseOf = [](Qt::ScrollPhase phase) {
        switch (phase) {
        case Qt::ScrollBegin: return ScrollPhase::began;
        case Qt::ScrollUpdate: return ScrollPhase::changed;
        case Qt::ScrollEnd: return ScrollPhase::ended;
        case Qt::ScrollMomentum: return ScrollPhase::momentum;
        case Qt::NoScrollPhase: return ScrollPhase::none;
        }
        return ScrollPhase::none;
    };
    // Without a pixel delta (libinput's touchpads under X11), an eighth of the
    // angle: one wheel notch is 15.
    const QPointF delta = event->pixelDelta().isNull() ? QPointF(event->angleDelta()) / 8.0
                                                       : QPointF(event->pixelDelta());
    handleScroll(phaseOf(event->phase()), delta);
    event->accept();
}

} // namespace vima
