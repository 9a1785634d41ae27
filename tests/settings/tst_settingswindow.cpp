#include "SettingsHarness.h"

#include "settings/SettingsBanner.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"
#include "settings/SettingsWindowModel.h"

#include <QDialog>
#include <QTabWidget>
#include <QTest>

using namespace vima;
using namespace vima::test;

class TestSettingsWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tabNames_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("index"); // -1: no tab
        QTest::newRow("items") << "items" << 0;
        QTest::newRow("general") << "general" << 1;
        QTest::newRow("ai") << "ai" << 2;
        QTest::newRow("permissions") << "permissions" << 3;
        QTest::newRow("capitalised") << "AI" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("unknown") << "advanced" << -1;
    }

    void tabNames()
    {
        QFETCH(QString, raw);
        QFETCH(int, index);
        const auto tab = settingsTabFromRawValue(raw);
        QCOMPARE(tab ? static_cast<int>(*tab) : -1, index);
    }

    void firstShowOpensOnItemsOrTheGivenTab()
    {
        SettingsHarness h;
        SettingsWindowController plain(h.context());
        plain.show();
        QCOMPARE(plain.window()->tabs()->currentIndex(), 0);

        SettingsWindowController onAI(h.context());
        onAI.show(SettingsTab::ai);
        QCOMPARE(onAI.window()->tabs()->currentIndex(), 2);
        QCOMPARE(onAI.window()->size(), SettingsWindow::defaultSize);
        QCOMPARE(onAI.window()->minimumSize(), SettingsWindow::smallestSize);
    }

    void laterShowSwitchesThroughTheNotification()
    {
        SettingsHarness h;
        QVariantList posted;
        h.notifications.observe(QStringLiteral("com.vima.Vima.selectSettingsTab"),
                                [&](const QVariant &object) { posted.append(object); });
        SettingsWindowController controller(h.context());
        controller.show(SettingsTab::general);
        QVERIFY(posted.isEmpty()); // the first show builds the window on the tab
        controller.show(SettingsTab::permissions);
        QCOMPARE(posted, QVariantList{QStringLiteral("permissions")});
        QCOMPARE(controller.window()->tabs()->currentIndex(), 3);
        controller.window()->close();
        controller.show();
        QCOMPARE(posted.size(), 1); // no tab given: nothing posted, tab kept across a close
        QCOMPARE(controller.window()->tabs()->currentIndex(), 3);
    }

    void showRestoresAMinimizedWindow()
    {
        SettingsHarness h;
        SettingsWindowController controller(h.context());
        controller.show();
        controller.window()->setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
        controller.show();
        QVERIFY(!controller.window()->isMinimized());
        QVERIFY(controller.window()->isMaximized()); // restored as it was before
    }

    void ctrlWClosesTheWindowUnlessASheetIsOpen()
    {
        SettingsHarness h;
        SettingsWindowController controller(h.context());
        controller.show(SettingsTab::general);
        SettingsWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto *sheet = new QDialog(window);
        sheet->setWindowModality(Qt::WindowModal);
        sheet->open();
        QVERIFY(QTest::qWaitForWindowActive(sheet));
        QTest::keyClick(sheet, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(window->isVisible());
        QTest::keyClick(sheet, Qt::Key_Escape);
        QVERIFY(!sheet->isVisible());
        QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!window->isVisible());
    }

    void selectNotificationIgnoresOtherObjects()
    {
        SettingsHarness h;
        SettingsWindowController controller(h.context());
        controller.show(SettingsTab::ai);
        h.notifications.post(QStringLiteral("com.vima.Vima.selectSettingsTab"), 3);
        h.notifications.post(QStringLiteral("com.vima.Vima.selectSettingsTab"), QStringLiteral("nope"));
        h.notifications.post(QStringLiteral("com.vima.Vima.selectSettingsTab"));
        QCOMPARE(controller.window()->tabs()->currentIndex(), 2);
    }

    void closingWritesAPendingSaveAtOnce()
    {
        SettingsHarness h;
        h.fixture.open(sampleConfig());
        SettingsWindowController controller(h.context());
        controller.show();
        h.store().edit([](VimaConfig &config) { config.slotCount = 12; });
        controller.window()->close();
        QCOMPARE(ConfigStore::decode(readAll(h.fixture.file())).slotCount, 12);
    }

    void bannerFollowsTheStoresError()
    {
        SettingsHarness h;
        h.fixture.writeConfig(QByteArray("{ not json"));
        h.fixture.open();
        SettingsWindowController controller(h.context());
        controller.show();
        SettingsBanner *banner = controller.window()->banner();
        QVERIFY(banner->isVisible());
        QCOMPARE(banner->text(), *h.store().lastError());
        h.store().setLastError(std::nullopt);
        QVERIFY(!banner->isVisible());
    }

    // A notice (an outside version kept aside) shows while no error does.
    void bannerTellsTheNoticeUnderTheError()
    {
        SettingsHarness h;
        h.fixture.open(sampleConfig());
        SettingsWindowController controller(h.context());
        controller.show();
        h.store().edit([](VimaConfig &config) { config.slotCount = 12; });
        QVERIFY(writeAll(h.fixture.file(), ConfigStore::encode(VimaConfig{})));
        h.store().save();
        SettingsBanner *banner = controller.window()->banner();
        QCOMPARE(banner->text(), h.store().notice().value_or(QStringLiteral("no notice")));
        const QString error = QStringLiteral("Could not save config.json: No space left on device");
        h.store().setLastError(error);
        QCOMPARE(banner->text(), error);
        h.store().setLastError(std::nullopt);
        QCOMPARE(banner->text(), h.store().notice().value_or(QStringLiteral("no notice")));
    }

    void itemsPageIsBuiltAgainEachTimeItShows()
    {
        SettingsHarness h;
        SettingsWindowController controller(h.context());
        controller.show();
        SettingsWindow *window = controller.window();
        const QPointer<QWidget> first = window->page(SettingsTab::items);
        controller.show(SettingsTab::general);
        QCOMPARE(window->page(SettingsTab::items), first.data()); // not while hidden from view
        const QPointer<QWidget> general = window->page(SettingsTab::general);
        controller.show(SettingsTab::items);
        QVERIFY(window->page(SettingsTab::items) != first.data());
        QCOMPARE(window->page(SettingsTab::general), general.data()); // the others keep their state
        QCOMPARE(window->tabs()->currentIndex(), 0);
    }

    void geometryComesBackNextTime()
    {
        SettingsHarness h;
        {
            SettingsWindowController first(h.context());
            first.show();
            first.window()->setGeometry(QRect(40, 50, 900, 700));
            first.window()->close();
        }
        SettingsWindowController second(h.context());
        second.show();
        QCOMPARE(second.window()->size(), QSize(900, 700));
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
