#include "platform/fake/FakeActiveApplicationSource.h"
#include "services/FrontmostAppObserver.h"

#include <QSignalSpy>
#include <QTest>

using namespace vima;

namespace {

const RunningApplication editor{101, QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor")};
const RunningApplication browser{202, QStringLiteral("firefox"), QStringLiteral("Firefox")};
const RunningApplication ourselves{303, QStringLiteral("com.vima.Vima"), QStringLiteral("Tavelon")};
const RunningApplication unknown{404, QString(), QStringLiteral("xterm")};

} // namespace

class TestFrontmostAppObserver : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theAppFrontmostAtLaunchIsThePreviousApp_data()
    {
        QTest::addColumn<std::optional<RunningApplication>>("frontmost");
        QTest::addColumn<std::optional<QString>>("ownID");
        QTest::addColumn<bool>("taken");
        const std::optional<QString> ours = ourselves.bundleID;
        QTest::newRow("another app") << std::optional(editor) << ours << true;
        QTest::newRow("ourselves") << std::optional(ourselves) << ours << false;
        QTest::newRow("nothing") << std::optional<RunningApplication>() << ours << false;
        QTest::newRow("no identifier, we have one") << std::optional(unknown) << ours << true;
        QTest::newRow("no identifier on either side") << std::optional(unknown) << std::optional<QString>()
                                                      << false;
    }

    void theAppFrontmostAtLaunchIsThePreviousApp()
    {
        QFETCH(std::optional<RunningApplication>, frontmost);
        QFETCH(std::optional<QString>, ownID);
        QFETCH(bool, taken);
        FakeActiveApplicationSource source;
        source.frontmost = frontmost;
        source.ownID = ownID;
        FrontmostAppObserver observer(source);
        QCOMPARE(observer.previousApp(), taken ? frontmost : std::nullopt);
    }

    void switchesFollowOtherAppsOnly()
    {
        FakeActiveApplicationSource source;
        source.ownID = ourselves.bundleID;
        source.frontmost = editor;
        FrontmostAppObserver observer(source);
        QSignalSpy changes(&observer, &FrontmostAppObserver::previousAppChanged);

        source.activate(browser);
        QCOMPARE(observer.previousApp(), browser);
        QCOMPARE(observer.previousBundleID(), browser.bundleID);
        source.activate(ourselves);
        QCOMPARE(observer.previousApp(), browser);
        source.activate(std::nullopt);
        QCOMPARE(observer.previousApp(), browser);
        source.activate(browser);
        QCOMPARE(changes.size(), 1);

        source.activate(unknown);
        QCOMPARE(observer.previousApp(), unknown);
        QCOMPARE(observer.previousBundleID(), std::nullopt);
        QCOMPARE(changes.size(), 2);
    }

    void namesOfThePreviousApp_data()
    {
        QTest::addColumn<RunningApplication>("app");
        QTest::addColumn<QStringList>("names");
        const QStringList webAppClass{"crx_abcdef", "Chromium"};
        QTest::newRow("a web app's entry, not its browser's class")
            << RunningApplication{505, "chrome-abcdef-Default", "Notes", 7, webAppClass}
            << QStringList{"chrome-abcdef-Default"};
        QTest::newRow("its entry, then others announcing its class")
            << RunningApplication{404, "emacs", "Emacs (GUI)", 6, {"emacs", "Emacs"}, {"emacsclient"}}
            << QStringList{"emacs", "emacsclient"};
        QTest::newRow("no entry: its classes") << RunningApplication{606, QString(), "Tk", 8, {"tool", "Tk"}}
                                               << QStringList{"tool", "Tk"};
    }
    void namesOfThePreviousApp()
    {
        QFETCH(RunningApplication, app);
        QFETCH(QStringList, names);
        FakeActiveApplicationSource source;
        source.ownID = ourselves.bundleID;
        source.frontmost = app;
        const FrontmostAppObserver observer(source);
        QCOMPARE(observer.previousAppNames(), names);
    }

    void anEndedObserverStopsListening()
    {
        FakeActiveApplicationSource source;
        {
            FrontmostAppObserver observer(source);
        }
        QVERIFY(!source.onActivated);
        source.activate(editor);
    }
};

QTEST_GUILESS_MAIN(TestFrontmostAppObserver)
#include "tst_frontmostappobserver.moc"
