#include "async/FakeScheduler.h"
#include "model/ItemAction.h"
#include "model/VimaConfig.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeHapticFeedback.h"
#include "platform/fake/FakeKeyboardGrab.h"
#include "platform/fake/FakePointerGrab.h"
#include "platform/fake/FakeScreenBackdrop.h"
#include "platform/fake/FakeSystemBeep.h"
#include "ring/RingLayout.h"
#include "ring/RingPanel.h"
#include "ring/RingView.h"
#include "ring/RingPlacement.h"
#include "ring/RingWindowController.h"
#include "ui/VirtualKeyEvent.h"
#include "store/ConfigStore.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <cmath>
#include <QScreen>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

namespace {

RingItem shellItem(qint64 slot, const QString &title)
{
    return RingItem{QUuid::createUuid(), title, IconSpec::symbol(QStringLiteral("terminal")), slot,
                    ItemAction{ShellPayload{QStringLiteral("true"), QStringLiteral("/bin/sh"), false}}};
}

// A store with one page of eight shell slots and one pack opened from slot 7.
struct Fixture {
    QTemporaryDir dir;
    FakeScheduler scheduler;
    ConfigStore store{dir.path(), scheduler};
    FakeHapticFeedback haptics;
    FakeSystemBeep beep;
    FakeKeyboardGrab keyboard;
    FakePointerGrab pointerGrab;
    FakeScreenBackdrop backdrop;
    FakeApplicationCatalog catalog;
    std::unique_ptr<RingWindowController> controller;
    QList<std::optional<RingItem>> activated;
    Ring page;
    Ring pack;

    Fixture()
    {
        VimaConfig config;
        pack = Ring{QUuid::createUuid(), QStringLiteral("Pack"), std::nullopt, true, std::nullopt,
                    {shellItem(0, QStringLiteral("Inner"))}};
        page = Ring{QUuid::createUuid(), QStringLiteral("Main"), std::nullopt, false, std::nullopt, {}};
        for (int i = 0; i < 7; ++i)
            page.items.append(shellItem(i, QStringLiteral("Item %1").arg(i)));
        page.items.append(RingItem{QUuid::createUuid(), QStringLiteral("More"),
                                   IconSpec::symbol(QStringLiteral("circle.grid.cross")), 7,
                                   ItemAction{OpenRingPayload{pack.id}}});
        config.rings = {page, pack};
        store.setConfig(config);
        controller = std::make_unique<RingWindowController>(
            store, RingWindowServices{haptics, beep, keyboard, pointerGrab, backdrop, catalog, scheduler});
        controller->onActivate = [this](const std::optional<RingItem> &item) { activated.append(item); };
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        controller->pointerPosition = [screen] { return QPointF(screen.center()); };
    }

    void addPage()
    {
        VimaConfig config = store.config();
        Ring second = page;
        second.id = QUuid::createUuid();
        config.rings.append(second);
        store.setConfig(config);
    }

    // Moves the pointer over a slot of the root ring and waits out the tap threshold.
    void holdOver(int slot)
    {
        scheduler.advance(0.5);
        RingViewModel &vm = controller->viewModel();
        const QSizeF size = controller->panel()->size();
        const QPointF centre = *vm.ringCenter();
        const double angle = 2 * M_PI * slot / vm.effectiveSlotCount();
        const double radius = (store.config().appearance.innerRadius + store.config().appearance.outerRadius) / 2;
        vm.pointerMoved(centre + QPointF(std::sin(angle) * radius, -std::cos(angle) * radius), size);
    }
};

} // namespace

class TestRingWindowController : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void placement_data()
    {
        QTest::addColumn<QPointF>("summon");
        QTest::addColumn<QSizeF>("screen");
        QTest::addColumn<qsizetype>("depth");
        QTest::addColumn<QPointF>("centre");
        QTest::newRow("top-left corner") << QPointF(0, 0) << QSizeF(1440, 900) << qsizetype(1) << QPointF(184, 184);
        QTest::newRow("inside stays") << QPointF(700, 450) << QSizeF(1440, 900) << qsizetype(1) << QPointF(700, 450);
        QTest::newRow("bottom-right") << QPointF(1440, 900) << QSizeF(1440, 900) << qsizetype(1) << QPointF(1256, 716);
        QTest::newRow("pack widens 64") << QPointF(0, 0) << QSizeF(1440, 900) << qsizetype(2) << QPointF(248, 248);
        QTest::newRow("too small screen") << QPointF(10, 10) << QSizeF(1440, 300) << qsizetype(1) << QPointF(720, 150);
        QTest::newRow("exactly twice the margin") << QPointF(10, 10) << QSizeF(368, 900) << qsizetype(1) << QPointF(184, 450);
    }

    void placement()
    {
        QFETCH(QPointF, summon);
        QFETCH(QSizeF, screen);
        QFETCH(qsizetype, depth);
        QFETCH(QPointF, centre);
        QCOMPARE(RingPlacement::centre(summon, screen, RingPlacement::margin(138, 1, depth)), centre);
    }

    void showPlacesTheRingAndGrabsTheKeyboard()
    {
        Fixture f;
        f.controller->pointerPosition = [] { return QPointF(0, 0); };
        f.controller->show(std::nullopt, true);
        QVERIFY(f.controller->isVisible());
        QCOMPARE(*f.controller->viewModel().ringCenter(), QPointF(184, 184));
        QVERIFY(f.keyboard.isGrabbed());
        QCOMPARE(f.controller->viewModel().currentRing().id, f.page.id);
        QVERIFY(f.controller->viewModel().isPresented()); // before the panel's first frame
        f.controller->hide();

        // Where the key went down wins over where the pointer has gone since.
        f.controller->show(std::nullopt, true, QPointF(400, 300));
        QCOMPARE(*f.controller->viewModel().ringCenter(), QPointF(400, 300));
    }

    // The ring is drawn at the default size for these; it must be placed for it too.
    void unusableRadiusIsPlacedAsDrawn_data()
    {
        QTest::addColumn<double>("outerRadius");
        QTest::addColumn<double>("sizeScale");
        QTest::newRow("negative radius") << -50.0 << 1.0;
        QTest::newRow("negative scale") << 138.0 << -3.0;
    }
    void unusableRadiusIsPlacedAsDrawn()
    {
        QFETCH(double, outerRadius);
        QFETCH(double, sizeScale);
        Fixture f;
        VimaConfig config = f.store.config();
        config.appearance.outerRadius = outerRadius;
        config.appearance.sizeScale = sizeScale;
        f.store.setConfig(config);
        f.controller->pointerPosition = [] { return QPointF(0, 0); };
        f.controller->show(std::nullopt, true);
        QCOMPARE(*f.controller->viewModel().ringCenter(), QPointF(184, 184));
        QCOMPARE(f.store.config().appearance.outerRadius, outerRadius); // the stored value stays
    }

    // Values far beyond what the settings offer, from a hand-edited file: the
    // ring still shows, closes and fits; the file keeps what it says.
    void outlandishAppearanceIsClampedWhereUsed()
    {
        Fixture f;
        VimaConfig config = f.store.config();
        config.appearance.animationDuration = 180;
        config.appearance.stickyTapThreshold = 180;
        config.appearance.outerRadius = 5000;
        config.appearance.sizeScale = 40;
        f.store.setConfig(config);
        f.controller->show(std::nullopt, true);
        const QSizeF size = f.controller->panel()->size();
        QVERIFY(f.controller->viewModel().geometry(size).outerRadius * 2 < 1000);

        f.scheduler.advance(2);
        f.controller->triggerReleased(); // held for 2 s: no quick tap
        QVERIFY(!f.controller->isVisible());
        f.scheduler.advance(1.1);
        QVERIFY(!f.controller->panel()->isVisible());
        QCOMPARE(f.store.config().appearance, config.appearance);
    }

    void holdAndReleaseRunsTheHoveredSlotAfterHiding()
    {
        Fixture f;
        f.controller->show(std::nullopt, true);
        f.holdOver(2);
        bool hiddenFirst = false;
        f.controller->onActivate = [&](const std::optional<RingItem> &item) {
            hiddenFirst = !f.controller->isVisible();
            f.activated.append(item);
        };
        f.controller->triggerReleased();
        QVERIFY(hiddenFirst);
        QCOMPARE(f.activated.size(), 1);
        QCOMPARE(f.activated.first()->title, QStringLiteral("Item 2"));
        QVERIFY(!f.keyboard.isGrabbed());
    }

    void quickTapStaysOpenAndIgnoresFurtherReleases()
    {
        Fixture f;
        f.controller->show(std::nullopt, true);
        f.scheduler.advance(0.1);
        f.controller->triggerReleased();
        QVERIFY(f.controller->isVisible());
        QVERIFY(f.controller->isSticky());
        f.holdOver(1);
        f.controller->triggerReleased(); // the same release reported again
        f.controller->handleFlagsChanged(0);
        QVERIFY(f.controller->isVisible());
        QVERIFY(f.activated.isEmpty());
    }

    // Typed right after the hotkey, while the keyboard grab is still on its way
    // to the panel: the platform reports the key, and the ring takes it.
    void keyTypedBeforeThePanelHasTheKeyboard_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<QString>("characters");
        QTest::addColumn<QStringList>("activated"); // titles; empty for a dismissal
        QTest::newRow("slot number, Alt still held") << true << 18u << "1" << QStringList{"Item 0"};
        QTest::newRow("Escape dismisses") << true << 53u << QString() << QStringList{QString()};
        QTest::newRow("no ring open") << false << 18u << "1" << QStringList();
    }
    void keyTypedBeforeThePanelHasTheKeyboard()
    {
        QFETCH(bool, shown);
        QFETCH(quint32, keyCode);
        QFETCH(QString, characters);
        QFETCH(QStringList, activated);
        Fixture f;
        if (shown)
            f.controller->show(std::nullopt, true);
        QVERIFY(f.keyboard.onEarlyKey);
        f.keyboard.onEarlyKey({keyCode, characters.isEmpty() ? std::nullopt : std::optional(characters),
                               HotkeySpec::option});
        QStringList titles;
        for (const auto &item : std::as_const(f.activated))
            titles.append(item ? item->title : QString());
        QCOMPARE(titles, activated);
        QVERIFY(!f.controller->isVisible());
    }

    void releaseOverPackOpensItAndBecomesSticky()
    {
        Fixture f;
        f.controller->pointerPosition = [] { return QPointF(0, 0); };
        f.controller->show(std::nullopt, true);
        f.holdOver(7);
        f.controller->triggerReleased();
        QVERIFY(f.controller->isVisible());
        QVERIFY(f.controller->isSticky());
        QCOMPARE(f.controller->viewModel().currentRing().id, f.pack.id);
        QCOMPARE(*f.controller->viewModel().ringCenter(), QPointF(248, 248)); // re-centred inward
        QVERIFY(f.controller->viewModel().goBack());
        QCOMPARE(*f.controller->viewModel().ringCenter(), QPointF(184, 184));
    }

    void modifierReleaseOnlyForHotkeyRings_data()
    {
        QTest::addColumn<bool>("viaHotkey");
        QTest::addColumn<bool>("released");
        QTest::newRow("opened by the hotkey") << true << true;
        QTest::newRow("opened from the menu") << false << false;
    }

    void modifierReleaseOnlyForHotkeyRings()
    {
        QFETCH(bool, viaHotkey);
        QFETCH(bool, released);
        Fixture f;
        f.controller->show(std::nullopt, viaHotkey);
        f.holdOver(3);
        f.controller->handleFlagsChanged(HotkeySpec::option); // Option still held
        QVERIFY(f.activated.isEmpty());
        f.controller->handleFlagsChanged(0); // Option let go
        QCOMPARE(f.activated.size(), released ? 1 : 0);
    }

    void hotkeyPressedWhileGrabbedTogglesAndRepeatsDoNot()
    {
        Fixture f;
        int presses = 0;
        f.controller->onHotkeyPressed = [&] { ++presses; };
        f.controller->show(std::nullopt, true);
        auto send = [&](QEvent::Type type, bool repeat) {
            QKeyEvent event(type, Qt::Key_Space, Qt::AltModifier, QStringLiteral(" "), repeat);
            QCoreApplication::sendEvent(f.controller->panel(), &event);
        };
        send(QEvent::KeyPress, true); // the held hotkey repeating into the grab
        send(QEvent::KeyRelease, true);
        QCOMPARE(presses, 0);
        QVERIFY(f.controller->isVisible());
        send(QEvent::KeyPress, false);
        QCOMPARE(presses, 1);
        QVERIFY(f.activated.isEmpty());
    }

    void hotkeyKeyReleaseInsideTheGrabReleasesTheRing()
    {
        Fixture f;
        f.controller->show(std::nullopt, true);
        f.holdOver(4);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::AltModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(f.controller->panel(), &release);
        QCOMPARE(f.activated.size(), 1);
        QCOMPARE(f.activated.first()->title, QStringLiteral("Item 4"));
    }

    void spaceUpLeavesAMenuRingOpen()
    {
        Fixture f;
        f.controller->show(std::nullopt, false);
        f.holdOver(4);
        // The hotkey's key alone, pressed and let go: not the hotkey's release.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(f.controller->panel(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(f.controller->panel(), &release);
        QVERIFY(f.controller->isVisible());
        QVERIFY(f.activated.isEmpty());
    }

    void altKeyReleaseCountsAsModifierRelease()
    {
        Fixture f;
        f.controller->show(std::nullopt, true);
        f.holdOver(5);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
        QCoreApplication::sendEvent(f.controller->panel(), &release);
        QCOMPARE(f.activated.size(), 1);
    }

    // Where the system reports phases, a gesture runs from its begin to its end.
    void phasedSwipeFlipsOnePagePerGesture()
    {
        Fixture f;
        f.addPage();
        f.controller->show(std::nullopt, false);
        using Phase = RingWindowController::ScrollPhase;
        f.controller->handleScroll(Phase::began, {});
        f.controller->handleScroll(Phase::changed, {-30, 0});
        QCOMPARE(f.controller->viewModel().pageIndex(), 0);
        f.controller->handleScroll(Phase::changed, {-11, 0});
        QCOMPARE(f.controller->viewModel().pageIndex(), 1);
        f.controller->handleScroll(Phase::changed, {-200, 0});
        f.controller->handleScroll(Phase::momentum, {-200, 0});
        QCOMPARE(f.controller->viewModel().pageIndex(), 1);
        f.controller->handleScroll(Phase::ended, {});
        f.controller->handleScroll(Phase::began, {});
        f.controller->handleScroll(Phase::changed, {41, 0});
        QCOMPARE(f.controller->viewModel().pageIndex(), 0);
    }

    // X11 sends wheel events without phases, a touchpad's as angle deltas.
    void phaselessSwipeEndsAtAQuietGap()
    {
        Fixture f;
        f.addPage();
        f.controller->show(std::nullopt, false);
        auto swipe = [&](QPoint angle) {
            QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(f.controller->panel(), &event);
        };
        swipe({-240, 0}); // 30
        QCOMPARE(f.controller->viewModel().pageIndex(), 0);
        f.scheduler.advance(0.05);
        swipe({-88, 0}); // 41 in all
        QCOMPARE(f.controller->viewModel().pageIndex(), 1);
        f.scheduler.advance(RingWindowController::swipeQuietGap - 0.01);
        swipe({-1600, 0}); // the same gesture
        QCOMPARE(f.controller->viewModel().pageIndex(), 1);
        f.scheduler.advance(RingWindowController::swipeQuietGap);
        swipe({-100, -400}); // mostly vertical: a scroll, not a swipe
        QCOMPARE(f.controller->viewModel().pageIndex(), 1);
        f.scheduler.advance(RingWindowController::swipeQuietGap);
        swipe({400, 0});
        QCOMPARE(f.controller->viewModel().pageIndex(), 0);
    }

    void focusLossDismissesOnlyAfterTheGrace()
    {
        Fixture f;
        f.controller->show(std::nullopt, false);
        f.scheduler.advance(0.2);
        f.controller->applicationDeactivated();
        QVERIFY(f.controller->isVisible());
        f.scheduler.advance(0.2);
        f.controller->applicationDeactivated();
        QVERIFY(!f.controller->isVisible());
        QCOMPARE(f.activated, (QList<std::optional<RingItem>>{std::nullopt}));
    }

    void delayedOrderOutSparesARingShownAgain()
    {
        Fixture f;
        f.controller->show(std::nullopt, false);
        f.scheduler.advance(0.5);
        f.controller->hide();
        f.scheduler.advance(0.1);
        f.controller->show(std::nullopt, false);
        f.scheduler.advance(0.05);
        f.controller->hide(); // its own fade must run its full length
        f.scheduler.advance(0.1); // the first hide's order-out falls due here
        QVERIFY(f.controller->panel()->isVisible());
        f.scheduler.advance(0.2);
        QVERIFY(!f.controller->panel()->isVisible());
    }

    void backdropCapturedOnlyWithoutCompositor()
    {
        Fixture f;
        f.controller->show(std::nullopt, false);
        QVERIFY(f.backdrop.frames.isEmpty());
        f.controller->hide();
        f.backdrop.translucent = false;
        f.controller->show(std::nullopt, false);
        QCOMPARE(f.backdrop.frames, QList<QRect>{f.controller->panel()->geometry()});
    }

    // The panel covers what the ring draws, on the screen under the pointer,
    // and only that part of the screen is captured.
    void panelCoversTheRingOnItsScreen_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QPointF>("at"); // 0 … 1 across the screen
        QTest::newRow("middle") << 0 << QPointF(0.5, 0.5);
        QTest::newRow("top-left corner") << 0 << QPointF(0, 0);
        QTest::newRow("bottom-right corner") << 0 << QPointF(0.999, 0.999);
        QTest::newRow("second screen") << 1 << QPointF(0.5, 0.5);
        QTest::newRow("second screen, edge by the first") << 1 << QPointF(0, 0.3);
    }
    void panelCoversTheRingOnItsScreen()
    {
        QFETCH(int, screen);
        QFETCH(QPointF, at);
        QCOMPARE(QGuiApplication::screens().size(), 2);
        const QRect frame = QGuiApplication::screens().at(screen)->geometry();
        const QPointF pointer(frame.x() + at.x() * frame.width(), frame.y() + at.y() * frame.height());
        Fixture f;
        f.backdrop.translucent = false;
        f.controller->pointerPosition = [pointer] { return pointer; };
        f.controller->show(std::nullopt, false);

        const QRect panel = f.controller->panel()->geometry();
        QVERIFY(frame.contains(panel));
        QCOMPARE(f.backdrop.frames, QList<QRect>{panel});
        // The dimming's whole circle (the widest thing of this ring), as far
        // as the screen goes, and no more.
        const QPointF centre = *f.controller->viewModel().ringCenter() + QPointF(frame.topLeft());
        const double reach = 138 * RingLayout::dimmingReach;
        const QRectF dimming = QRectF(centre - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach)) & QRectF(frame);
        QVERIFY(QRectF(panel).contains(dimming));
        QVERIFY(dimming.adjusted(-1, -1, 1, 1).contains(panel));
        // The view draws the ring where the pointer summoned it.
        RingView *view = f.controller->panel()->view();
        QCOMPARE(view->canvasSize(), frame.size());
        QCOMPARE(QPointF(view->canvasOrigin() + frame.topLeft()), QPointF(panel.topLeft()));
    }

    void packOpenedNearAnEdgeWidensThePanel()
    {
        Fixture f;
        f.controller->pointerPosition = [] { return QPointF(0, 0); };
        f.controller->show(std::nullopt, false);
        const QRect before = f.controller->panel()->geometry();
        f.controller->viewModel().activate(f.page.items.last()); // the pack
        QCOMPARE(f.controller->viewModel().stack().size(), 2);
        const QRect after = f.controller->panel()->geometry();
        QVERIFY(after.contains(before));
        const double reach = (138 + 64) * RingLayout::dimmingReach;
        const QPointF centre = *f.controller->viewModel().ringCenter();
        QVERIFY(after.right() >= centre.x() + reach - 1 && after.bottom() >= centre.y() + reach - 1);
    }

    void clickBesideThePanelDismisses()
    {
        Fixture f;
        f.controller->show(std::nullopt, true);
        QVERIFY(f.pointerGrab.isGrabbed());
        f.pointerGrab.clickOutside();
        QVERIFY(!f.controller->isVisible());
        QCOMPARE(f.activated, QList<std::optional<RingItem>>{std::nullopt});
        QVERIFY(!f.pointerGrab.isGrabbed());
    }

    // Shown again while it fades out, the screen there holds the fading ring:
    // the panel keeps its picture of what lies beneath, and takes the rest fresh.
    void reshownWhileFadingKeepsWhatLiesBeneath()
    {
        Fixture f;
        f.backdrop.translucent = false;
        const QPointF first = f.controller->pointerPosition();
        f.controller->show(std::nullopt, false);
        const QRect old = f.controller->panel()->geometry();
        f.controller->hide();
        f.scheduler.advance(0.1);
        f.backdrop.screen = Qt::magenta; // the fading ring
        f.controller->pointerPosition = [first] { return first + QPointF(150, 0); };
        f.controller->show(std::nullopt, false);
        const QRect now = f.controller->panel()->geometry();
        const QImage picture = f.controller->panel()->backdrop().toImage();
        const auto at = [&](QPoint global) { return picture.pixelColor(global - now.topLeft()); };
        QCOMPARE(at(old.topRight()), QColor(Qt::darkCyan));
        QCOMPARE(at(now.topRight()), QColor(Qt::magenta));
    }
};

// Two screens side by side, the second lower and smaller.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [
        {"name": "first", "x": 0, "y": 0, "width": 1440, "height": 900, "logicalDpi": 96, "dpr": 1},
        {"name": "second", "x": 1440, "y": 100, "width": 1024, "height": 768, "logicalDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestRingWindowController test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_ringwindowcontroller.moc"
