#include "SupportProgram.h"
#include "platform/x11/X11ActiveWindowSource.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/XdgApplicationCatalog.h"
#include "services/FrontmostAppObserver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace vima;

namespace {

// Two installed applications, as their desktop entries would describe them.
class TwoApps final : public ApplicationCatalog {
public:
    std::optional<DesktopApp> find(const QString &bundleID) const override
    {
        for (const DesktopApp &app : all()) {
            if (app.bundleID == bundleID)
                return app;
        }
        return std::nullopt;
    }
    QList<DesktopApp> all() const override
    {
        DesktopApp a, b;
        a.bundleID = QStringLiteral("probe-a");
        a.name = QStringLiteral("Probe A");
        b.bundleID = QStringLiteral("probe-b");
        b.name = QStringLiteral("Probe B");
        return {a, b};
    }
};

int xdotool(const QStringList &arguments) { return SupportProgram::run(QStringLiteral("xdotool"), arguments); }

QString windowID(SupportProgram &program) { return program.waitForLine(QStringLiteral("ready ")).mid(6); }

} // namespace

class TestFrontmostE2E : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void thePreviousAppFollowsActivation()
    {
        QGuiApplication::setDesktopFileName(QStringLiteral("com.vima.Vima"));
        SupportProgram a(QStringLiteral("click_target"), {"probe-a", "0", "0", "300", "200"});
        SupportProgram b(QStringLiteral("click_target"), {"probe-b", "400", "0", "300", "200"});
        const QString windowA = windowID(a), windowB = windowID(b);
        QVERIFY(!windowA.isEmpty() && !windowB.isEmpty());

        const TwoApps catalog;
        X11ActiveWindowSource source(&catalog);
        FrontmostAppObserver observer(source);

        QCOMPARE(xdotool({"windowactivate", "--sync", windowA}), 0);
        QTRY_COMPARE(observer.previousBundleID(), QStringLiteral("probe-a"));
        QCOMPARE(observer.previousApp()->pid, a.pid());
        QCOMPARE(observer.previousApp()->name, QStringLiteral("Probe A"));

        QCOMPARE(xdotool({"windowactivate", "--sync", windowB}), 0);
        QTRY_COMPARE(observer.previousBundleID(), QStringLiteral("probe-b"));
        QCOMPARE(observer.previousApp()->pid, b.pid());

        // Our own window becoming active leaves the previous application alone.
        QWidget own;
        own.setGeometry(100, 300, 200, 100);
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));
        QCOMPARE(xdotool({"windowactivate", "--sync", QString::number(own.winId())}), 0);
        QTRY_COMPARE(source.frontmostApplication()->pid, QCoreApplication::applicationPid());
        QCoreApplication::processEvents();
        QCOMPARE(observer.previousBundleID(), QStringLiteral("probe-b"));

        // A new observer starts from the application in front at launch.
        QCOMPARE(xdotool({"windowactivate", "--sync", windowA}), 0);
        QTRY_COMPARE(source.frontmostApplication()->bundleID, QStringLiteral("probe-a"));
        FrontmostAppObserver later(source);
        QCOMPARE(later.previousBundleID(), QStringLiteral("probe-a"));
    }

    // Also when an entry is named like its program: python, java and
    // electron run many applications under one name.
    void anApplicationOutsideTheCatalogKeepsItsClassName()
    {
        QTemporaryDir data;
        QVERIFY(QDir(data.path()).mkdir(QStringLiteral("applications")));
        QFile entry(data.path() + QStringLiteral("/applications/click_target.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Interpreter\nExec=click_target\nTerminal=true\n");
        entry.close();
        const XdgApplicationCatalog catalog({data.path()}, QString());
        QCOMPARE(catalog.all().size(), 1);
        SupportProgram other(QStringLiteral("click_target"), {"Unlisted", "0", "0", "300", "200", "-name", "tool"});
        const QString window = windowID(other);
        X11ActiveWindowSource source(&catalog);
        QCOMPARE(xdotool({"windowactivate", "--sync", window}), 0);
        QTRY_VERIFY(source.frontmostApplication());
        QCOMPARE(source.frontmostApplication()->pid, other.pid());
        QCOMPARE(source.frontmostApplication()->bundleID, QString());
        QCOMPARE(source.frontmostApplication()->name, QStringLiteral("Unlisted"));
    }

    // Installed while we run, it names the window from its next activation on.
    void aDesktopEntryInstalledLaterIsFound()
    {
        QTemporaryDir data;
        QVERIFY(QDir(data.path()).mkdir(QStringLiteral("applications")));
        const XdgApplicationCatalog catalog({data.path()}, QString());
        X11ActiveWindowSource source(&catalog);
        SupportProgram later(QStringLiteral("click_target"), {"probe-late", "0", "0", "300", "200"});
        SupportProgram other(QStringLiteral("click_target"), {"probe-other", "400", "0", "300", "200"});
        const QString window = windowID(later), otherWindow = windowID(other);
        QCOMPARE(xdotool({"windowactivate", "--sync", window}), 0);
        QTRY_COMPARE(source.frontmostApplication()->pid, later.pid());
        QCOMPARE(source.frontmostApplication()->bundleID, QString());
        QVERIFY(source.frontmostApplication()->windowClasses.contains(QStringLiteral("probe-late")));

        QCOMPARE(xdotool({"windowactivate", "--sync", otherWindow}), 0);
        QTRY_COMPARE(source.frontmostApplication()->pid, other.pid());
        FrontmostAppObserver observer(source);
        QFile entry(data.path() + QStringLiteral("/applications/probe-late.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Probe Late\nExec=true\n");
        entry.close();
        // The switch asks for a read and is told from the last one; the new
        // read names the window once it ends, without another switch.
        QCOMPARE(xdotool({"windowactivate", "--sync", window}), 0);
        QTRY_COMPARE(observer.previousBundleID(), QStringLiteral("probe-late"));
        QCOMPARE(observer.previousApp()->name, QStringLiteral("Probe Late"));
    }

    // A dialog goes by its main window's names, and a window renamed while
    // active by its new ones, with no switch in between.
    void theActiveWindowGoesByItsMainWindowsNamesAsTheyChange()
    {
        QTemporaryDir data;
        QVERIFY(QDir(data.path()).mkdir(QStringLiteral("applications")));
        for (const QString id : {"probe-main", "probe-renamed"}) {
            QFile entry(data.path() + "/applications/" + id + ".desktop");
            QVERIFY(entry.open(QIODevice::WriteOnly));
            entry.write("[Desktop Entry]\nType=Application\nName=" + id.toUtf8() + "\nExec=true\n");
        }
        const XdgApplicationCatalog catalog({data.path()}, QString());
        catalog.all();
        SupportProgram main(QStringLiteral("click_target"), {"probe-main", "0", "0", "300", "200"});
        const QString mainWindow = windowID(main);
        SupportProgram dialog(QStringLiteral("click_target"), {"probe-dialog", "400", "0", "300", "200"});
        const QString dialogWindow = windowID(dialog);
        const xcb_window_t owner = mainWindow.toUInt(); // as a toolkit marks a dialog
        xcb_change_property(x11::connection(), XCB_PROP_MODE_REPLACE, dialogWindow.toUInt(), XCB_ATOM_WM_TRANSIENT_FOR,
                            XCB_ATOM_WINDOW, 32, 1, &owner);
        X11ActiveWindowSource source(&catalog);
        FrontmostAppObserver observer(source);

        QCOMPARE(xdotool({"windowactivate", "--sync", dialogWindow}), 0);
        QTRY_COMPARE(QString::number(observer.previousApp().value_or(RunningApplication()).window), dialogWindow);
        QCOMPARE(observer.previousBundleID(), QStringLiteral("probe-main"));

        QCOMPARE(xdotool({"windowactivate", "--sync", mainWindow}), 0);
        QTRY_COMPARE(QString::number(observer.previousApp().value_or(RunningApplication()).window), mainWindow);
        QCOMPARE(observer.previousBundleID(), QStringLiteral("probe-main"));
        QCOMPARE(xdotool({"set_window", "--classname", "probe-renamed", "--class", "Probe-renamed", mainWindow}), 0);
        QTRY_COMPARE(observer.previousBundleID(), QStringLiteral("probe-renamed"));
    }

    // Last: it leaves the session without a window manager to speak of.
    void staleWindowManagerPropertiesAreNotBelieved()
    {
        SupportProgram other(QStringLiteral("click_target"), {"probe-a", "0", "0", "300", "200"});
        const QString window = windowID(other);
        X11ActiveWindowSource source(nullptr);
        QCOMPARE(xdotool({"windowactivate", "--sync", window}), 0);
        QTRY_VERIFY(source.frontmostApplication());
        // The check window of a window manager that died no longer names itself.
        QCOMPARE(SupportProgram::run(QStringLiteral("xprop"), {"-root", "-f", "_NET_SUPPORTING_WM_CHECK", "32x",
                                                              "-set", "_NET_SUPPORTING_WM_CHECK", window}),
                 0);
        QTRY_VERIFY(!source.frontmostApplication());
    }
};

QTEST_MAIN(TestFrontmostE2E)
#include "e2e_frontmost.moc"
