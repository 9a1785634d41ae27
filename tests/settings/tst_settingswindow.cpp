#include "platform/NotificationCenter.h"
#include "settings/SettingsWindowController.h"

#include <QTest>

using namespace vima;

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
        NotificationCenter center;
        SettingsWindowController plain(center);
        plain.show();
        QCOMPARE(plain.window()->currentIndex(), 0);

        SettingsWindowController onAI(center);
        onAI.show(SettingsTab::ai);
        QCOMPARE(onAI.window()->currentIndex(), 2);
    }

    void laterShowSwitchesThroughTheNotification()
    {
        NotificationCenter center;
        QVariantList posted;
        center.observe(QStringLiteral("com.vima.Vima.selectSettingsTab"),
                       [&](const QVariant &object) { posted.append(object); });
        SettingsWindowController controller(center);
        controller.show(SettingsTab::general);
        QVERIFY(posted.isEmpty()); // the first show builds the window on the tab
        controller.show(SettingsTab::permissions);
        QCOMPARE(posted, QVariantList{QStringLiteral("permissions")});
        QCOMPARE(controller.window()->currentIndex(), 3);
        controller.show();
        QCOMPARE(posted.size(), 1); // no tab given: nothing posted, tab kept
        QCOMPARE(controller.window()->currentIndex(), 3);
    }

    void selectNotificationIgnoresOtherObjects()
    {
        NotificationCenter center;
        SettingsWindowController controller(center);
        controller.show(SettingsTab::ai);
        center.post(QStringLiteral("com.vima.Vima.selectSettingsTab"), 3);
        center.post(QStringLiteral("com.vima.Vima.selectSettingsTab"), QStringLiteral("nope"));
        center.post(QStringLiteral("com.vima.Vima.selectSettingsTab"));
        QCOMPARE(controller.window()->currentIndex(), 2);
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
