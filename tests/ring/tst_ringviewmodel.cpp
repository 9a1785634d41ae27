#include "RingFixtures.h"

#include "async/FakeScheduler.h"
#include "platform/fake/FakeHapticFeedback.h"
#include "platform/fake/FakeSystemBeep.h"
#include "ring/RingViewModel.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>
#include <memory>

using namespace vima;
using namespace vima::fixtures;
using Pattern = HapticFeedback::Pattern;

namespace {

const QSizeF viewSize(400, 400); // centre (200, 200); default radii 48 and 138

// A point on the ring's circle at `radius`, in the middle of slot `slot` of `count`.
QPointF slotPoint(int slot, int count, double radius = 100)
{
    const double angle = slot * 2 * M_PI / count - M_PI / 2;
    return QPointF(200 + radius * std::cos(angle), 200 + radius * std::sin(angle));
}

// A root ring of eight slots: slot 0 an action, slot 1 a pack, slot 3 a pack of depth two.
struct Harness {
    FakeHapticFeedback haptics;
    FakeSystemBeep beep;
    FakeScheduler scheduler;
    Ring inner = ring(QStringLiteral("Inner"), {actionItem(0, QStringLiteral("Deep"))}, {}, true);
    Ring pack = ring(QString(), {actionItem(0, QStringLiteral("Inside")), packItem(2, QStringLiteral("Deeper"), inner.id)},
                     {}, true);
    Ring root = ring(QStringLiteral("Main"),
                     {actionItem(0, QStringLiteral("Fix")), packItem(1, QStringLiteral("Write"), pack.id),
                      actionItem(4, QStringLiteral("Shorten"))});
    std::unique_ptr<RingViewModel> model;
    QList<std::optional<RingItem>> activated;

    explicit Harness(Appearance appearance = {})
    {
        model = std::make_unique<RingViewModel>(root, 8, appearance, haptics, beep, scheduler);
        model->onActivate = [this](const std::optional<RingItem> &item) { activated.append(item); };
        model->resolveRing = [this](const QUuid &id) -> std::optional<Ring> {
            for (const Ring &candidate : {root, pack, inner})
                if (candidate.id == id)
                    return candidate;
            return std::nullopt;
        };
    }

    void hover(int slot) { model->pointerMoved(slotPoint(slot, model->effectiveSlotCount()), viewSize); }
    void openPack()
    {
        QVERIFY(model->pushRing(pack.id));
        haptics.performed.clear();
    }
};

} // namespace

class TestRingViewModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void slotCountIsClamped_data()
    {
        QTest::addColumn<std::optional<qint64>>("own");
        QTest::addColumn<qint64>("global");
        QTest::addColumn<int>("effective");
        QTest::newRow("own zero") << std::optional<qint64>(0) << qint64(8) << 1;
        QTest::newRow("own negative") << std::optional<qint64>(-3) << qint64(8) << 1;
        QTest::newRow("own 30") << std::optional<qint64>(30) << qint64(8) << 24;
        QTest::newRow("own 12") << std::optional<qint64>(12) << qint64(8) << 12;
        QTest::newRow("global") << std::optional<qint64>() << qint64(6) << 6;
        QTest::newRow("global 40") << std::optional<qint64>() << qint64(40) << 24;
        QTest::newRow("global 0") << std::optional<qint64>() << qint64(0) << 1;
    }
    void slotCountIsClamped()
    {
        QFETCH(std::optional<qint64>, own);
        QFETCH(qint64, global);
        QFETCH(int, effective);
        Harness h;
        h.model->setStack({ring(QStringLiteral("R"), {}, own)});
        h.model->setGlobalSlotCount(global);
        QCOMPARE(h.model->effectiveSlotCount(), effective);
        QCOMPARE(h.model->geometry(viewSize).slotCount, effective);
    }

    void geometryWidensForNestedRings()
    {
        Harness h;
        RingGeometry g = h.model->geometry(viewSize);
        QCOMPARE(g.innerRadius, 48.0);
        QCOMPARE(g.outerRadius, 138.0);
        QCOMPARE(g.center, QPointF(200, 200));
        h.openPack();
        QCOMPARE(h.model->geometry(viewSize).outerRadius, 202.0);
        h.model->setRingCenter(QPointF(90, 120));
        QCOMPARE(h.model->geometry(viewSize).center, QPointF(90, 120));

        Appearance tiny;
        tiny.innerRadius = 60;
        tiny.outerRadius = 20;
        tiny.sizeScale = 2;
        h.model->setStack({h.root});
        h.model->setAppearance(tiny);
        g = h.model->geometry(viewSize);
        QCOMPARE(g.innerRadius, 120.0);
        QCOMPARE(g.outerRadius, 121.0); // raised to inner + 1
    }

    void pointerPublishesOnlySlotChanges()
    {
        Harness h;
        QSignalSpy hover(h.model.get(), &RingViewModel::hoveredSlotChanged);
        h.model->setKeyboardFocusSlot(5);
        h.model->pointerMoved(slotPoint(0, 8, 70), viewSize);
        h.model->pointerMoved(slotPoint(0, 8, 130), viewSize);
        QCOMPARE(hover.count(), 1);
        QCOMPARE(h.model->hoveredSlot(), std::optional<int>(0));
        QCOMPARE(h.model->keyboardFocusSlot(), std::nullopt); // the pointer takes over
        QCOMPARE(h.haptics.count(Pattern::alignment), 1);

        h.model->pointerMoved(QPointF(210, 205), viewSize); // dead zone
        QCOMPARE(hover.count(), 2);
        QCOMPARE(h.model->hoveredSlot(), std::nullopt);
        QCOMPARE(h.haptics.count(Pattern::alignment), 2);
        h.model->pointerMoved(QPointF(205, 210), viewSize);
        QCOMPARE(hover.count(), 2);
        QCOMPARE(h.haptics.count(Pattern::alignment), 2);

        h.model->pointerMoved(QPointF(200, 200 - 138 - 90), viewSize); // the slack's edge
        QCOMPARE(h.model->hoveredSlot(), std::optional<int>(0));
        h.model->pointerMoved(QPointF(200, 200 - 138 - 90.01), viewSize);
        QCOMPARE(h.model->hoveredSlot(), std::nullopt);
    }

    void clearHoverAlwaysPublishes()
    {
        Harness h;
        QSignalSpy hover(h.model.get(), &RingViewModel::hoveredSlotChanged);
        h.model->setKeyboardFocusSlot(2);
        h.model->clearHover();
        QCOMPARE(hover.count(), 1);
        QCOMPARE(h.model->keyboardFocusSlot(), std::optional<int>(2));
        QVERIFY(h.haptics.performed.isEmpty());
    }

    void dwellOpensPackOnlyAfterFullDwell()
    {
        Harness h;
        h.hover(1);
        QVERIFY(h.model->isDwelling());
        h.scheduler.advance(0.2);
        h.hover(2);
        h.scheduler.advance(1);
        QCOMPARE(h.model->stack().size(), 1);

        h.hover(1);
        h.scheduler.advance(0.219);
        QCOMPARE(h.model->stack().size(), 1);
        h.scheduler.advance(0.002);
        QCOMPARE(h.model->stack().size(), 2);
        QCOMPARE(h.model->currentRing().id, h.pack.id);
        QCOMPARE(h.model->hoveredSlot(), std::nullopt);
        QCOMPARE(h.model->keyboardFocusSlot(), std::nullopt);
        QCOMPARE(h.haptics.performed.last(), Pattern::levelChange);
        QVERIFY(h.activated.isEmpty());
    }

    void dwellOnActionSlotDoesNothing()
    {
        Harness h;
        h.hover(0);
        QVERIFY(!h.model->isDwelling());
        h.scheduler.advance(5);
        QVERIFY(h.activated.isEmpty());
    }

    void dwellIsCancelledByLeaving()
    {
        Harness h;
        h.hover(1);
        h.model->clearHover();
        h.scheduler.advance(1);
        QCOMPARE(h.model->stack().size(), 1);
    }

    void unusableDwellOpensAtOnce_data()
    {
        QTest::addColumn<double>("dwell");
        QTest::newRow("negative") << -1.0;
        QTest::newRow("zero") << 0.0;
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
        QTest::newRow("huge negative") << -1e300;
    }
    void unusableDwellOpensAtOnce()
    {
        QFETCH(double, dwell);
        Appearance appearance;
        appearance.subRingDwell = dwell;
        Harness h(appearance);
        h.hover(1);
        h.scheduler.advance(0);
        QCOMPARE(h.model->stack().size(), 2);
        const double kept = h.model->appearance().subRingDwell;
        QVERIFY(kept == dwell || (std::isnan(kept) && std::isnan(dwell)));
    }

    void pushesAreRefused()
    {
        Harness h;
        QVERIFY(!h.model->pushRing(h.root.id)); // a cycle back to the root
        QCOMPARE(h.beep.beeps, 1);
        QVERIFY(!h.model->pushRing(QUuid::createUuid())); // unknown
        QCOMPARE(h.beep.beeps, 2);
        h.model->resolveRing = nullptr;
        QVERIFY(!h.model->pushRing(h.pack.id)); // nothing to resolve with
        QCOMPARE(h.beep.beeps, 3);
        QCOMPARE(h.model->stack().size(), 1);
        QVERIFY(h.haptics.performed.isEmpty());
    }

    void pushIsRefusedAtFourLevels()
    {
        Harness h;
        const Ring extra = ring(QStringLiteral("Extra"), {}, {}, true);
        h.model->setStack({h.root, h.pack, h.inner, extra});
        QSignalSpy stack(h.model.get(), &RingViewModel::stackChanged);
        h.model->activate(packItem(0, QStringLiteral("More"), h.pack.id));
        const Ring fifth = ring(QStringLiteral("Fifth"), {}, {}, true);
        h.model->resolveRing = [fifth](const QUuid &) { return std::optional<Ring>(fifth); };
        QVERIFY(!h.model->pushRing(fifth.id));
        QCOMPARE(h.beep.beeps, 2);
        QCOMPARE(stack.count(), 0);
        QVERIFY(h.activated.isEmpty());
    }

    void selfOpeningPackBeeps()
    {
        Harness h;
        h.openPack();
        QVERIFY(!h.model->pushRing(h.pack.id));
        QCOMPARE(h.beep.beeps, 1);
    }

    void commitChoosesHoverThenFocus()
    {
        Harness h;
        h.model->setKeyboardFocusSlot(4);
        h.model->commit();
        QCOMPARE(h.activated.size(), 1);
        QCOMPARE(h.activated.last()->title, QStringLiteral("Shorten"));
        h.hover(0);
        h.model->setKeyboardFocusSlot(4);
        h.model->commit();
        QCOMPARE(h.activated.last()->title, QStringLiteral("Fix"));
    }

    void emptyCommitDismissesAtRootAndGoesBackInPack()
    {
        Harness h;
        h.model->pointerMoved(QPointF(200, 200), viewSize);
        h.model->commit();
        QCOMPARE(h.activated, QList<std::optional<RingItem>>{std::nullopt});

        h.openPack();
        h.model->pointerMoved(QPointF(200, 200), viewSize);
        h.model->commit();
        QCOMPARE(h.activated.size(), 1);
        QCOMPARE(h.model->stack().size(), 1);
        QCOMPARE(h.haptics.performed, QList<Pattern>{Pattern::levelChange});

        h.hover(2); // an empty slot at the root
        h.model->commit();
        QCOMPARE(h.activated.size(), 2);
        QCOMPARE(h.activated.last(), std::nullopt);
    }

    void commitOnPackOpensIt()
    {
        Harness h;
        h.hover(1);
        h.model->commit();
        QCOMPARE(h.model->stack().size(), 2);
        QVERIFY(h.activated.isEmpty());
        h.scheduler.advance(1); // the dwell started by the hover was cancelled
        QCOMPARE(h.model->stack().size(), 2);
    }

    void goBackAtRootChangesNothing()
    {
        Harness h;
        QSignalSpy stack(h.model.get(), &RingViewModel::stackChanged);
        QVERIFY(!h.model->goBack());
        QCOMPARE(stack.count(), 0);
        QVERIFY(h.haptics.performed.isEmpty());
    }

    void arrowsMoveFocus_data()
    {
        QTest::addColumn<int>("slots");
        QTest::addColumn<std::optional<int>>("focus");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::addColumn<int>("expected");
        QTest::newRow("right from nothing") << 8 << std::optional<int>() << 1 << 0 << 2;
        QTest::newRow("right on two slots") << 2 << std::optional<int>() << 1 << 0 << 0;
        QTest::newRow("left from nothing") << 8 << std::optional<int>() << -1 << 0 << 6;
        QTest::newRow("up onto slot 0 steps clockwise") << 8 << std::optional<int>(0) << 0 << -1 << 1;
        QTest::newRow("down from 1") << 8 << std::optional<int>(1) << 0 << 1 << 2;
        QTest::newRow("down from 7") << 8 << std::optional<int>(7) << 0 << 1 << 6;
        QTest::newRow("left from 0 wraps") << 8 << std::optional<int>(0) << -1 << 0 << 7;
        QTest::newRow("one slot") << 1 << std::optional<int>(0) << 1 << 0 << 0;
    }
    void arrowsMoveFocus()
    {
        QFETCH(int, slots);
        QFETCH(std::optional<int>, focus);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QFETCH(int, expected);
        Harness h;
        h.model->setGlobalSlotCount(slots);
        h.model->setKeyboardFocusSlot(focus);
        h.model->moveFocus(dx, dy);
        QCOMPARE(h.model->keyboardFocusSlot(), std::optional<int>(expected));
        QCOMPARE(h.model->hoveredSlot(), std::nullopt);
        QCOMPARE(h.haptics.performed, QList<Pattern>{Pattern::alignment});
    }

    void arrowStartsFromHover()
    {
        Harness h;
        h.hover(4);
        QVERIFY(h.model->handleKey(keys::leftArrow, std::nullopt, 0));
        QCOMPARE(h.model->hoveredSlot(), std::nullopt);
        QCOMPARE(h.model->keyboardFocusSlot(), std::optional<int>(5)); // towards the left, clockwise from the bottom
    }

    void pagesWrap_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<quint64>("modifiers");
        QTest::addColumn<int>("expected");
        QTest::newRow("shift-tab from first") << 0 << int(keys::tab) << quint64(0x20000) << 2;
        QTest::newRow("tab from last") << 2 << int(keys::tab) << quint64(0) << 0;
        QTest::newRow("tab") << 0 << int(keys::tab) << quint64(0) << 1;
        QTest::newRow("cmd-left") << 0 << int(keys::leftArrow) << quint64(0x100000) << 2;
        QTest::newRow("cmd-right") << 1 << int(keys::rightArrow) << quint64(0x100000) << 2;
    }
    void pagesWrap()
    {
        QFETCH(int, start);
        QFETCH(int, keyCode);
        QFETCH(quint64, modifiers);
        QFETCH(int, expected);
        Harness h;
        const QList<Ring> pages{h.root, ring(QString(), {}), ring(QStringLiteral("Third"), {})};
        h.model->setPages(pages);
        h.model->setPageIndex(start);
        h.model->setStack({pages.at(start)});
        h.model->setKeyboardFocusSlot(3);
        QVERIFY(h.model->handleKey(quint16(keyCode), std::nullopt, modifiers));
        QCOMPARE(h.model->pageIndex(), expected);
        QCOMPARE(h.model->currentRing().id, pages.at(expected).id);
        QCOMPARE(h.model->keyboardFocusSlot(), std::nullopt);
        QCOMPARE(h.haptics.performed, QList<Pattern>{Pattern::levelChange});
    }

    void pageFlipsOnlyAtRoot()
    {
        Harness h;
        h.model->setPages({h.root, ring(QStringLiteral("Two"), {})});
        QVERIFY(h.model->canFlipPages());
        h.openPack();
        QVERIFY(!h.model->canFlipPages());
        QVERIFY(h.model->handleKey(keys::tab, std::nullopt, 0)); // consumed all the same
        QCOMPARE(h.model->pageIndex(), 0);
        QCOMPARE(h.model->stack().size(), 2);
        h.model->setPage(0); // the same page
        QVERIFY(h.haptics.performed.isEmpty());

        Harness single;
        single.model->setPages({single.root});
        QVERIFY(single.model->handleKey(keys::tab, std::nullopt, 0x20000));
        QVERIFY(single.haptics.performed.isEmpty());
    }

    void keys_data()
    {
        QTest::addColumn<int>("slots");
        QTest::addColumn<bool>("inPack");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<QString>("characters");
        QTest::addColumn<bool>("consumed");
        QTest::addColumn<QString>("activated"); // title, "-" for a dismissal, "" for nothing
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("beeps");
        QTest::newRow("digit 1") << 8 << false << 18 << "1" << true << "Fix" << 1 << 0;
        QTest::newRow("keypad 5") << 8 << false << 87 << "5" << true << "Shorten" << 1 << 0;
        QTest::newRow("digit on empty slot") << 8 << false << 20 << "3" << true << "" << 1 << 1;
        QTest::newRow("digit opens pack") << 8 << false << 19 << "2" << true << "" << 2 << 0;
        QTest::newRow("0 on 10 slots") << 10 << false << 29 << "0" << true << "" << 1 << 1;
        QTest::newRow("0 on 8 slots") << 8 << false << 29 << "0" << false << "" << 1 << 0;
        QTest::newRow("9 on 8 slots") << 8 << false << 25 << "9" << false << "" << 1 << 0;
        QTest::newRow("arabic-indic five") << 8 << false << 0 << QString(QChar(0x0665)) << true << "Shorten" << 1
                                           << 0;
        QTest::newRow("letter") << 8 << false << 0 << "a" << false << "" << 1 << 0;
        QTest::newRow("no characters") << 8 << false << 0 << "" << false << "" << 1 << 0;
        QTest::newRow("delete at root") << 8 << false << 51 << "" << false << "" << 1 << 0;
        QTest::newRow("forward delete in pack") << 8 << true << 117 << "" << true << "" << 1 << 0;
        QTest::newRow("delete in pack") << 8 << true << 51 << "" << true << "" << 1 << 0;
        QTest::newRow("escape at root") << 8 << false << 53 << "" << true << "-" << 1 << 0;
        QTest::newRow("escape in pack") << 8 << true << 53 << "" << true << "" << 1 << 0;
        QTest::newRow("return at root") << 8 << false << 36 << "" << true << "-" << 1 << 0;
        QTest::newRow("keypad enter in pack") << 8 << true << 76 << "" << true << "" << 1 << 0;
        QTest::newRow("digit in pack") << 8 << true << 18 << "1" << true << "Inside" << 2 << 0;
    }
    void keys()
    {
        QFETCH(int, slots);
        QFETCH(bool, inPack);
        QFETCH(int, keyCode);
        QFETCH(QString, characters);
        QFETCH(bool, consumed);
        QFETCH(QString, activated);
        QFETCH(int, depth);
        QFETCH(int, beeps);
        Harness h;
        h.model->setGlobalSlotCount(slots);
        if (inPack)
            h.openPack();
        const std::optional<QString> text = characters.isEmpty() ? std::nullopt : std::optional(characters);
        QCOMPARE(h.model->handleKey(quint16(keyCode), text, 0), consumed);
        if (activated.isEmpty())
            QVERIFY(h.activated.isEmpty());
        else if (activated == QLatin1String("-"))
            QCOMPARE(h.activated, QList<std::optional<RingItem>>{std::nullopt});
        else
            QCOMPARE(h.activated.value(0).value_or(RingItem{}).title, activated);
        QCOMPARE(h.model->stack().size(), depth);
        QCOMPARE(h.beep.beeps, beeps);
    }

    void derivedTexts()
    {
        Harness h;
        QCOMPARE(h.model->breadcrumb(), std::nullopt);
        h.openPack();
        QVERIFY(h.model->pushRing(h.inner.id));
        QCOMPARE(h.model->breadcrumb(), std::optional<QString>(QStringLiteral("Main \u203A Ring \u203A Inner")));
        QCOMPARE(h.model->parentRing()->id, h.pack.id);

        h.model->setPages({h.root, ring(QString(), {})});
        h.model->setPageIndex(1);
        QCOMPARE(h.model->currentPageTitle(), QStringLiteral("Page 2"));
        h.model->setPageIndex(0);
        QCOMPARE(h.model->currentPageTitle(), QStringLiteral("Main"));
        h.model->setPageIndex(5);
        QCOMPARE(h.model->currentPageTitle(), QString());

        h.model->setStack({});
        QVERIFY(h.model->currentRing().items.isEmpty());
        QVERIFY(!h.model->currentRing().id.isNull());
    }

    void contextAppShowsOnlyForAppRingAtRoot()
    {
        Harness h;
        const ContextApp app{QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor")};
        h.model->setContextApp(app);
        QCOMPARE(h.model->visibleContextApp(), std::nullopt); // a page has no bundleIDMatch
        Ring appRing = ring(QStringLiteral("Editor"), {packItem(0, QStringLiteral("P"), h.pack.id)});
        appRing.bundleIDMatch = app.bundleID;
        h.model->setStack({appRing});
        QCOMPARE(h.model->visibleContextApp(), std::optional(app));
        QVERIFY(h.model->pushRing(h.pack.id));
        QCOMPARE(h.model->visibleContextApp(), std::nullopt);
    }

    void activatingActionHandsItOn()
    {
        Harness h;
        h.hover(1); // start a dwell
        const RingItem item = actionItem(3, QStringLiteral("Run"));
        h.model->activate(item);
        QVERIFY(!h.model->isDwelling());
        QCOMPARE(h.activated, QList<std::optional<RingItem>>{item});
        h.model->onActivate = nullptr;
        h.model->activate(item); // nothing installed: nothing happens
        h.model->cancel();
        QCOMPARE(h.activated.size(), 1);
    }

    void nearestSlotKeepsLowerIndexOnTies()
    {
        Harness h;
        h.model->setGlobalSlotCount(4);
        QCOMPARE(h.model->nearestSlot(0), 1);                 // right
        QCOMPARE(h.model->nearestSlot(M_PI / 4), 1);          // between right and down
        QCOMPARE(h.model->nearestSlot(-M_PI / 4), 0);         // between up and right
        QCOMPARE(h.model->nearestSlot(M_PI), 3);              // left
        h.model->setGlobalSlotCount(1);
        QCOMPARE(h.model->nearestSlot(2), 0);
    }
};

QTEST_GUILESS_MAIN(TestRingViewModel)
#include "tst_ringviewmodel.moc"
