#include "FakePlatform.h"

#include "app/AppEnvironment.h"
#include "app/MenuBarController.h"
#include "async/FakeScheduler.h"
#include "platform/NotificationCenter.h"
#include "ring/RingWindowController.h"
#include "store/ConfigStore.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

namespace {

struct Fixture {
    QTemporaryDir dir;
    FakeScheduler scheduler;
    FakePlatform fakes;
    NotificationCenter notifications;
    std::unique_ptr<AppEnvironment> environment;
    std::unique_ptr<MenuBarController> menu;
    int settingsOpened = 0;

    explicit Fixture(bool trusted = true)
    {
        fakes.permission->trusted = trusted;
        environment = std::make_unique<AppEnvironment>(fakes.platform, dir.path(), scheduler, notifications);
        menu = std::make_unique<MenuBarController>(*environment, [this] { ++settingsOpened; });
    }

    QStringList titles() const
    {
        QStringList titles;
        for (const auto &row : menu->rows())
            titles << (row.isSeparator() ? QStringLiteral("-") : row.title);
        return titles;
    }

    MenuBarController::Row row(const QString &title) const
    {
        for (const auto &row : menu->rows()) {
            if (row.title == title)
                return row;
        }
        return {};
    }
};

const QString openRing = QStringLiteral("Open Ring");

} // namespace

class TestMenuBarController : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void menuAtRest()
    {
        Fixture f;
        QCOMPARE(f.titles(), (QStringList{openRing, "-", "Launch at Login", "-", "Settings…", "Check for Updates…",
                                           "-", "Quit Tavelon"}));
        QCOMPARE(f.row(openRing).toolTip, QStringLiteral("Or press Alt+Space"));
        // The menu the tray shows is built from the same rows.
        f.menu->menu()->aboutToShow();
        QCOMPARE(f.menu->menu()->actions().size(), f.titles().size());
    }

    void leftClickOpensTheSameMenu()
    {
        Fixture f;
        Q_EMIT f.menu->statusItem()->activated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(f.menu->menu()->isVisible());
        QCOMPARE(f.menu->statusItem()->contextMenu(), f.menu->menu());
        f.menu->menu()->hide();
    }

    void missingPermissionAddsItsRow()
    {
        Fixture f(false);
        QCOMPARE(f.titles().mid(0, 4),
                 (QStringList{openRing, "-", "AI actions need an X11 session with XTest", "-"}));
        QVariantList opened;
        f.notifications.observe(QStringLiteral("com.vima.Vima.openSettings"),
                                [&opened](const QVariant &tab) { opened.append(tab); });
        f.menu->perform(MenuBarController::Command::openPermissions);
        QCOMPARE(opened, QVariantList{QStringLiteral("permissions")});
    }

    void hotkeyWithoutModifierIsUnavailable()
    {
        Fixture f;
        VimaConfig config = f.environment->configStore().config();
        config.hotkey = HotkeySpec{96, 0}; // F5 alone
        f.environment->configStore().setConfig(config);
        QVERIFY(f.row(openRing).toolTip.isEmpty());
        const auto unavailable = f.row(QStringLiteral("Hotkey F5 is unavailable"));
        QCOMPARE(unavailable.command, MenuBarController::Command::openSettings);
        f.menu->perform(*unavailable.command);
        QCOMPARE(f.settingsOpened, 1);
    }

    void openRingTogglesOnTheNextTurn()
    {
        Fixture f;
        RingWindowController &ring = f.environment->ringController();
        int ran = 0;
        ring.onActivate = [&](const std::optional<RingItem> &item) { ran += item ? 1 : 0; };
        f.menu->perform(MenuBarController::Command::openRing);
        QVERIFY(!ring.isVisible());
        QTRY_VERIFY(ring.isVisible());
        f.menu->perform(MenuBarController::Command::openRing);
        QTRY_VERIFY(!ring.isVisible());
        QCOMPARE(ran, 0); // closed without running a slot
    }

    void updatesWithoutFeedAreDisabledWithTheReason()
    {
        Fixture f;
        const auto updates = f.row(QStringLiteral("Check for Updates…"));
        QVERIFY(!updates.enabled);
        QVERIFY(!updates.toolTip.isEmpty());
    }

    void launchAtLoginToggles()
    {
        Fixture f;
        QCOMPARE(f.row(QStringLiteral("Launch at Login")).checked, false);
        f.menu->perform(MenuBarController::Command::toggleLaunchAtLogin);
        QCOMPARE(f.fakes.loginItems->registers, 1);
        QCOMPARE(f.row(QStringLiteral("Launch at Login")).checked, true);
    }
};

QTEST_MAIN(TestMenuBarController)
#include "tst_menubarcontroller.moc"
