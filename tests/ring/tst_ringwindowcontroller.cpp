#include "async/FakeScheduler.h"
#include "model/ItemAction.h"
#include "model/VimaConfig.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeHapticFeedback.h"
#include "platform/fake/FakeKeyboardGrab.h"
#include "platform/fake/FakeScreenBackdrop.h"
#include "platform/fake/FakeSystemBeep.h"
#include "ring/RingPanel.h"
#include "ring/RingPlacement.h"
#include "ring/RingWindowController.h"
#include "ui/VirtualKeyEvent.h"
#include "store/ConfigStore.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <cmath>
#include <QScreen>
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
            store, RingWindowServices{haptics, beep, keyboard, backdrop, catalog, scheduler});
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
        QCOMPARE(f.backdrop.captures, 0);
        f.controller->hide();
        f.backdrop.translucent = false;
        f.controller->show(std::nullopt, false);
        QCOMPARE(f.backdrop.captures, 1);
    }

    // Shown again while it fades out: a capture now would hold the fading
    // ring, painted under the new one for as long as it shows.
    void reshownWhileFadingKeepsItsPicture()
    {
        Fixture f;
        f.backdrop.translucent = false;
        f.controller->show(std::nullopt, false);
        f.controller->hide();
        f.scheduler.advance(0.1);
        f.controller->show(std::nullopt, false);
        QCOMPARE(f.backdrop.captures, 1);
        f.controller->hide();
        f.scheduler.advance(1);
        f.controller->show(std::nullopt, false);
        QCOMPARE(f.backdrop.captures, 2);
    }
};

QTEST_MAIN(TestRingWindowController)
#include "tst_ringwindowcontroller.moc"
