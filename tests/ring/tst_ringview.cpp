#include "RingFixtures.h"

#include "async/FakeScheduler.h"
#include "platform/fake/FakeAppIconSource.h"
#include "platform/fake/FakeHapticFeedback.h"
#include "platform/fake/FakeSystemBeep.h"
#include "ui/AppIconCache.h"
#include "ring/RingLayout.h"
#include "ring/RingPainter.h"
#include "ring/RingText.h"
#include "ring/RingView.h"
#include "ring/RingViewModel.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <limits>
#include <memory>

using namespace vima;
using namespace vima::fixtures;

namespace {

const QSize viewSize(720, 720);
const QPointF centre(360, 360);

QPointF tileCentre(const RingView &view, int slot) { return view.frame().layout.tileCentre(slot); }

// A desktop-like backdrop: the ring is drawn over other windows.
QImage desktop(double ratio)
{
    QImage image(viewSize * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    QLinearGradient wallpaper(0, 0, viewSize.width(), viewSize.height());
    wallpaper.setColorAt(0, QColor(0x3A, 0x5F, 0x8F));
    wallpaper.setColorAt(1, QColor(0x8C, 0x6A, 0x9E));
    painter.fillRect(QRectF(QPointF(), viewSize), wallpaper);
    painter.setBrush(QColor(0xF4, 0xF4, 0xF2));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(60, 90, 470, 520), 10, 10);
    return image;
}

struct Harness {
    FakeHapticFeedback haptics;
    FakeSystemBeep beep;
    FakeScheduler scheduler;
    FakeAppIconSource icons;
    AppIconCache iconCache{&icons};
    Ring pack;
    Ring root;
    std::unique_ptr<RingViewModel> model;
    std::unique_ptr<RingView> view;
    QList<std::optional<RingItem>> activated;

    explicit Harness(int slots = 8, bool isPreview = false)
    {
        QImage terminal(64, 64, QImage::Format_ARGB32_Premultiplied);
        terminal.fill(Qt::transparent);
        {
            QPainter p(&terminal);
            p.setRenderHint(QPainter::Antialiasing);
            p.setBrush(QColor(0x2E, 0x34, 0x40));
            p.setPen(Qt::NoPen);
            p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
            p.setPen(QPen(QColor(0x8F, 0xD1, 0x6A), 5));
            p.drawLine(QPointF(16, 22), QPointF(28, 32));
            p.drawLine(QPointF(28, 32), QPointF(16, 42));
        }
        icons.installed.insert(QStringLiteral("org.gnome.Terminal"), QIcon(QPixmap::fromImage(terminal)));

        pack = ring(QStringLiteral("Write"),
                    {actionItem(0, QStringLiteral("Fix Grammar"), IconSpec::symbol("checkmark.circle")),
                     actionItem(1, QStringLiteral("Rewrite"), IconSpec::symbol("wand.and.sparkles")),
                     actionItem(2, QStringLiteral("Shorten"), IconSpec::symbol("arrow.down.right.and.arrow.up.left")),
                     actionItem(4, QStringLiteral("Professional Tone"), IconSpec::symbol("briefcase")),
                     actionItem(6, QStringLiteral("Bullet Points"), IconSpec::symbol("list.bullet"))},
                    {}, true);
        QList<RingItem> items{
            packItem(0, QStringLiteral("Write"), pack.id, IconSpec::symbol("pencil.line")),
            actionItem(1, QStringLiteral("Summarize"), IconSpec::symbol("text.line.first.and.arrowtriangle.forward")),
            actionItem(2, QStringLiteral("Translate"), IconSpec::symbol("character.bubble")),
            actionItem(3, QStringLiteral("Terminal"), IconSpec::appIcon("org.gnome.Terminal")),
            actionItem(4, QStringLiteral("Ship it"), IconSpec::emoji(QStringLiteral("🚀"))),
            actionItem(6, QStringLiteral("Screenshot"), IconSpec::symbol("camera.viewfinder")),
            actionItem(7, QStringLiteral("No Such Symbol"), IconSpec::symbol("no.such.symbol")),
        };
        const QStringList more{"doc.on.doc", "terminal", "folder", "link", "globe", "envelope", "book",
                               "lightbulb", "paintbrush.pointed", "curlybraces", "tablecells", "macwindow",
                               "magnifyingglass", "house", "bookmark", "timer"};
        for (int slot = 8; slot < slots && slot - 8 < more.size(); ++slot)
            items.append(actionItem(slot, more.at(slot - 8), IconSpec::symbol(more.at(slot - 8))));
        root = ring(QStringLiteral("Everyday"), items);
        model = std::make_unique<RingViewModel>(root, slots, Appearance{}, haptics, beep, scheduler);
        model->onActivate = [this](const std::optional<RingItem> &item) { activated.append(item); };
        model->resolveRing = [this](const QUuid &id) {
            return id == pack.id ? std::optional<Ring>(pack) : std::nullopt;
        };
        view = std::make_unique<RingView>(*model, isPreview, RingStyle{}, scheduler);
        view->setAppIcons(&iconCache);
        view->resize(viewSize);
        model->setPresented(true);
        settle();
    }

    void settle() { scheduler.advance(2); }

    void click(QPointF point) { QTest::mouseClick(view.get(), Qt::LeftButton, {}, point.toPoint()); }

    QImage render(double ratio = 2) const
    {
        QImage image = desktop(ratio);
        QPainter painter(&image);
        view->paint(painter);
        return image;
    }

    void save(const QString &name) const
    {
        const QString dir = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ring-pictures"));
        QDir().mkpath(dir);
        QVERIFY(render().save(QDir(dir).filePath(name)));
    }
};

} // namespace

class TestRingView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void picturesForReview()
    {
        {
            Harness h;
            h.save(QStringLiteral("ring-8-root.png"));
            h.model->setPages({h.root, ring(QStringLiteral("Developer"), {})});
            h.model->setKeyboardFocusSlot(1);
            h.settle();
            h.save(QStringLiteral("ring-8-focused-pages.png"));
            h.model->pointerMoved(tileCentre(*h.view, 6), h.view->size());
            h.settle();
            h.save(QStringLiteral("ring-8-hovered.png"));
            h.model->pushRing(h.pack.id);
            h.model->pointerMoved(tileCentre(*h.view, 2), h.view->size());
            h.settle();
            h.save(QStringLiteral("ring-8-pack.png"));
        }
        {
            Harness h;
            Ring appRing = h.root;
            appRing.bundleIDMatch = QStringLiteral("org.gnome.Terminal");
            h.model->setStack({appRing});
            h.model->setPages({appRing, ring(QStringLiteral("Everyday"), {}), ring(QStringLiteral("Developer"), {})});
            h.model->setContextApp(ContextApp{QStringLiteral("org.gnome.Terminal"), QStringLiteral("Terminal")});
            h.model->setKeyboardFocusSlot(0);
            h.settle();
            h.save(QStringLiteral("ring-8-app-ring-pack-focused.png"));

            const QPalette light = QGuiApplication::palette();
            QPalette dark = light;
            dark.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2E));
            dark.setColor(QPalette::WindowText, QColor(0xF2, 0xF2, 0xF2));
            QGuiApplication::setPalette(dark);
            h.model->pushRing(h.pack.id);
            h.settle();
            h.save(QStringLiteral("ring-8-pack-dark-theme.png"));
            QGuiApplication::setPalette(light);
        }
        {
            Harness h(24);
            h.model->pointerMoved(tileCentre(*h.view, 9), h.view->size());
            h.settle();
            h.save(QStringLiteral("ring-24.png"));
        }
    }

    void clickingBesideTheRingDismisses()
    {
        Harness h;
        h.click(QPointF(20, 20));
        QCOMPARE(h.activated, QList<std::optional<RingItem>>{std::nullopt});
    }

    // A panel smaller than the screen shows part of the screen-sized canvas:
    // the ring is laid out on the canvas, and the pointer lands there too.
    void partOfTheCanvasTakesThePointerWhereTheRingIs()
    {
        Harness h;
        const QSize canvas = h.view->size();
        const QPoint origin(100, 60);
        h.view->resize(canvas - QSize(150, 100));
        h.view->setCanvas(canvas, origin);
        QCOMPARE(h.view->frame().layout.geometry.center, centre);
        const QPointF at = tileCentre(*h.view, 2) - origin;
        QMouseEvent move(QEvent::MouseMove, at, h.view->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(h.view.get(), &move);
        QCOMPARE(h.model->hoveredSlot(), std::optional<int>(2));
        h.click(tileCentre(*h.view, 1) - origin);
        QCOMPARE(h.activated.size(), 1);
        QCOMPARE(h.activated.first()->title, QStringLiteral("Summarize"));
    }

    void clickingASlotActivatesIt()
    {
        Harness h;
        h.click(tileCentre(*h.view, 1) + QPointF(0, (52 + 12) / 2 - 1)); // inside the wider hit circle
        QCOMPARE(h.activated.size(), 1);
        QCOMPARE(h.activated.first()->title, QStringLiteral("Summarize"));
        h.click(tileCentre(*h.view, 5)); // empty slot at the root: takes the click, does nothing
        QCOMPARE(h.activated.size(), 1);
        QCOMPARE(h.beep.beeps, 0);
    }

    void centreGoesBackThenDismisses()
    {
        Harness h;
        h.click(tileCentre(*h.view, 0)); // the pack
        QCOMPARE(h.model->stack().size(), 2);
        h.settle();
        h.click(tileCentre(*h.view, 5)); // an empty slot in a pack has no tile: the backdrop takes it
        QCOMPARE(h.activated, QList<std::optional<RingItem>>{std::nullopt});
        h.click(centre + QPointF(20, 20));
        QCOMPARE(h.model->stack().size(), 1);
        QCOMPARE(h.activated.size(), 1);
        h.click(centre);
        QCOMPARE(h.activated.size(), 2);
        QCOMPARE(h.activated.last(), std::nullopt);
    }

    void pageDotsFlipPages()
    {
        Harness h;
        h.model->setPages({h.root, ring(QStringLiteral("Second"), {}), ring(QStringLiteral("Third"), {})});
        const RingFrame frame = h.view->frame();
        const auto row = RingPainter(frame).pageRow();
        QVERIFY(row);
        QCOMPARE(row->dotFrames.size(), 3);
        h.click(row->dotFrames.at(2).center());
        QCOMPARE(h.model->pageIndex(), 2);
        QCOMPARE(h.model->currentRing().name, QStringLiteral("Third"));
        const RingFrame flipped = h.view->frame();
        const auto after = RingPainter(flipped).pageRow();
        h.click(after->titleRect.center()); // the row takes clicks without dismissing
        h.click(after->dotFrames.at(0).topLeft() + QPointF(0.5, 0.5)); // a dot's whole frame counts
        QCOMPARE(h.model->pageIndex(), 0);
        QVERIFY(h.activated.isEmpty());
    }

    void pointerMovesReachTheModel()
    {
        Harness h;
        h.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.view.get()));
        QTest::mouseMove(h.view.get(), tileCentre(*h.view, 2).toPoint());
        QCOMPARE(h.model->hoveredSlot(), std::optional<int>(2));
    }

    void previewTakesNoInput()
    {
        Harness h(8, true);
        h.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.view.get()));
        QTest::mouseMove(h.view.get(), tileCentre(*h.view, 2).toPoint());
        h.click(tileCentre(*h.view, 1));
        h.click(centre);
        h.click(QPointF(10, 10));
        QCOMPARE(h.model->hoveredSlot(), std::nullopt);
        QVERIFY(h.activated.isEmpty());
        QCOMPARE(h.model->stack().size(), 1);
    }

    void previewDrawsNoBackdrop()
    {
        Harness normal;
        Harness preview(8, true);
        const QPointF corner(150, 360); // inside the dimming, outside the ring
        const QImage dimmed = normal.render(1);
        const QImage plain = preview.render(1);
        const QColor underneath = desktop(1).pixelColor(corner.toPoint());
        QCOMPARE(plain.pixelColor(corner.toPoint()), underneath);
        QVERIFY(dimmed.pixelColor(corner.toPoint()).lightness() < underneath.lightness());
    }

    void hiddenRingDrawsNothing()
    {
        Harness h;
        h.model->setPresented(false);
        h.settle();
        QVERIFY(!h.view->isAnimating());
        QCOMPARE(h.render(1), desktop(1));
    }

    void showingAnimatesUntilSettled()
    {
        Harness h;
        h.model->setPresented(false);
        h.settle();
        h.model->setPresented(true);
        QVERIFY(h.view->isAnimating());
        h.scheduler.advance(0.05);
        const RingFrame midway = h.view->frame();
        QVERIFY(midway.presented > 0 && midway.presented < 1);
        QVERIFY(midway.dimming > 0 && midway.dimming < 1);
        h.settle();
        QVERIFY(!h.view->isAnimating());
        QCOMPARE(h.view->frame().presented, 1.0);
    }

    // The clock starts at the summons: the first frame painted after the
    // panel maps is part way in, without waiting for an animation tick.
    void firstFrameIsPartWayInFromTheSummons()
    {
        Harness h;
        h.model->setPresented(false);
        h.settle();
        const double summoned = h.scheduler.now();
        h.scheduler.advance(0.008); // the show's own work
        h.view->startClockAt(summoned);
        h.model->setPresented(true);
        QCOMPARE(h.view->frame().presented, 0.0);
        h.view->grab(); // the first paint, before any tick
        const RingFrame first = h.view->frame();
        QVERIFY(first.presented > 0 && first.presented < 1);
        QVERIFY(first.dimming > 0 && first.dimming < 1);
        h.settle();
        QCOMPARE(h.view->frame().presented, 1.0);
    }

    void assistiveTechnologiesSeeSlotsAndCentre()
    {
        Harness h;
        h.root.items[1].title.clear(); // a filled slot without a title
        h.model->setStack({h.root});
        h.view->show();
        QAccessibleInterface *ring = QAccessible::queryAccessibleInterface(h.view.get());
        QVERIFY(ring);
        QCOMPARE(ring->childCount(), 9); // 8 tiles and the centre
        QCOMPARE(ring->child(0)->text(QAccessible::Name), QStringLiteral("Write"));
        QCOMPARE(ring->child(0)->text(QAccessible::Description), QStringLiteral("Opens a pack"));
        QCOMPARE(ring->child(1)->text(QAccessible::Name), QStringLiteral("Empty slot 2"));
        QCOMPARE(ring->child(2)->text(QAccessible::Description), QString());
        QCOMPARE(ring->child(5)->text(QAccessible::Name), QStringLiteral("Empty slot 6"));
        QCOMPARE(ring->child(8)->text(QAccessible::Name), QStringLiteral("Cancel"));
        QCOMPARE(ring->indexOfChild(ring->child(3)), 3);
        h.model->setKeyboardFocusSlot(2);
        QVERIFY(ring->child(2)->state().selected);
        QVERIFY(!ring->child(3)->state().selected);

        ring->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(h.model->stack().size(), 2);
        QCOMPARE(ring->childCount(), 6); // a pack's empty slots have no element
        QCOMPARE(ring->child(5)->text(QAccessible::Name), QStringLiteral("Back"));
        ring->child(5)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(h.model->stack().size(), 1);
    }

    // An automation client finds nothing to press on a ring that is not on screen.
    void hiddenRingOffersNothingToAssistiveTechnologies_data()
    {
        QTest::addColumn<bool>("windowShown");
        QTest::addColumn<bool>("presented");
        QTest::newRow("on screen") << true << true;
        QTest::newRow("fading out") << true << false;
        QTest::newRow("window hidden") << false << true;
    }
    void hiddenRingOffersNothingToAssistiveTechnologies()
    {
        QFETCH(bool, windowShown);
        QFETCH(bool, presented);
        Harness h;
        h.view->setVisible(windowShown);
        h.model->setPresented(presented);
        const bool onScreen = windowShown && presented;
        QAccessibleInterface *ring = QAccessible::queryAccessibleInterface(h.view.get());
        for (int i = 0; i < ring->childCount(); ++i) {
            QAccessibleInterface *element = ring->child(i);
            QCOMPARE(element->state().invisible, !onScreen);
            QCOMPARE(element->actionInterface()->actionNames().isEmpty(), !onScreen);
        }
        ring->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); // Translate
        ring->child(ring->childCount() - 1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(h.activated.size(), onScreen ? 2 : 0); // the item, then the dismissal
    }

    void aTitleOfAnyLengthCostsWhatAShortOneDoes_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::newRow("the title field's limit") << qsizetype(32767);
        QTest::newRow("100 KB") << qsizetype(100 * 1024);
        QTest::newRow("10 MB") << qsizetype(10 * 1024 * 1024);
    }
    void aTitleOfAnyLengthCostsWhatAShortOneDoes()
    {
        QFETCH(qsizetype, length);
        Harness h;
        const QRectF usual = RingPainter(h.view->frame()).extent();
        h.root.items[1].title = QString(length, QLatin1Char('W'));
        h.root.name = QString(length, QLatin1Char('P'));
        h.model->setPages({h.root, h.pack});
        h.model->setStack({h.root});
        h.model->setHoveredSlot(1);
        h.settle();

        // Every label and caption is measured elided: the ring's extent, and
        // with it the start-up warm-up image, stays a ring's size.
        const QRectF extent = RingPainter(h.view->frame()).extent();
        QVERIFY2(extent.width() <= usual.width() + 2 * RingText::widestText,
                 qPrintable(QString::number(extent.width())));
        QVERIFY(extent.height() <= usual.height() + RingLayout::labelHeight);
        QVERIFY(!h.render(1).isNull());
        QAccessibleInterface *ring = QAccessible::queryAccessibleInterface(h.view.get());
        QVERIFY(ring->child(1)->text(QAccessible::Name).size() <= RingText::longestName + 1);
        // Only what is drawn and heard is cut.
        QCOMPARE(h.model->currentRing().items.at(1).title.size(), length);
    }

    void unusableAppearanceStillDraws_data()
    {
        QTest::addColumn<double>("sizeScale");
        QTest::addColumn<double>("outerRadius");
        QTest::addColumn<double>("animationDuration");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("scale nan") << nan << 138.0 << 0.18;
        QTest::newRow("huge ring") << 50.0 << 9000.0 << 0.18;
        QTest::newRow("scale infinite") << inf << 138.0 << 0.18;
        QTest::newRow("scale zero") << 0.0 << 138.0 << 0.18;
        QTest::newRow("scale negative") << -2.0 << 138.0 << 0.18;
        QTest::newRow("outer negative") << 1.0 << -50.0 << 0.18;
        QTest::newRow("duration nan") << 1.0 << 138.0 << nan;
        QTest::newRow("duration negative") << 1.0 << 138.0 << -1.0;
        QTest::newRow("duration infinite") << 1.0 << 138.0 << inf;
    }
    void unusableAppearanceStillDraws()
    {
        QFETCH(double, sizeScale);
        QFETCH(double, outerRadius);
        QFETCH(double, animationDuration);
        Harness h;
        Appearance appearance;
        appearance.sizeScale = sizeScale;
        appearance.outerRadius = outerRadius;
        appearance.animationDuration = animationDuration;
        h.model->setAppearance(appearance);
        h.model->setPresented(false);
        h.model->setPresented(true);
        h.settle();
        QVERIFY(!h.view->isAnimating());
        h.model->pointerMoved(QPointF(360, 200), h.view->size());
        h.click(QPointF(360, 250));
        QVERIFY(!h.render(1).isNull());
    }

    void nestedRingMovesTilesOutward()
    {
        Harness h;
        const double rootRadius = h.view->frame().tileRadius;
        h.model->pushRing(h.pack.id);
        h.scheduler.advance(0.05);
        const double midway = h.view->frame().tileRadius;
        h.settle();
        const double nested = h.view->frame().tileRadius;
        QVERIFY(std::abs(rootRadius - 115.987) < 1e-6);
        QVERIFY(std::abs(nested - 179.987) < 1e-6);
        QVERIFY(midway > rootRadius && midway < nested);
    }
};

QTEST_MAIN(TestRingView)
#include "tst_ringview.moc"
