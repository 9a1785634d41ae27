#include "platform/PlatformError.h"
#include "platform/x11/DesktopEntry.h"
#include "platform/x11/DesktopExec.h"
#include "platform/x11/XdgAutostart.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

class TestXdgAutostart : public QObject {
    Q_OBJECT

private:
    QTemporaryDir home_;
    const QString executable_ = "/opt/My Apps/50% \"odd\"\\vima";

    XdgAutostart autostart() const { return XdgAutostart("com.vima.Vima", "Vima", executable_, home_.path()); }

    void writeEntry(const QByteArray &text) const
    {
        QDir().mkpath(home_.filePath("autostart"));
        QFile file(autostart().entryPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(home_.isValid());
        QFile::remove(autostart().entryPath());
    }

    void registerWritesAnEntryThatRunsUs()
    {
        QCOMPARE(autostart().status(), LoginItemStatus::notRegistered);
        autostart().registerItem();
        QCOMPARE(autostart().entryPath(), home_.filePath("autostart/com.vima.Vima.desktop"));
        const auto entry = DesktopEntry::read(autostart().entryPath());
        QVERIFY(entry);
        QCOMPARE(entry->value("Type"), "Application");
        QCOMPARE(entry->value("Name"), "Vima");
        QCOMPARE(DesktopExec::split(entry->value("Exec")), std::optional(QStringList{executable_}));
        QCOMPARE(autostart().status(), LoginItemStatus::enabled);
        autostart().registerItem(); // again: replaced, not appended
        QCOMPARE(DesktopEntry::read(autostart().entryPath())->value("Name"), "Vima");
    }

    void unregisterRemovesTheEntry()
    {
        autostart().registerItem();
        autostart().unregisterItem();
        QVERIFY(!QFile::exists(autostart().entryPath()));
        QCOMPARE(autostart().status(), LoginItemStatus::notRegistered);
        autostart().unregisterItem(); // nothing there: no error
    }

    void entriesThatDoNotStartUs_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray exec = "Exec=" + DesktopEntry::escape(DesktopExec::quote(executable_)).toUtf8() + "\n";
        QTest::newRow("hidden") << "[Desktop Entry]\nType=Application\n" + exec + "Hidden=true\n";
        QTest::newRow("switched off") << "[Desktop Entry]\nType=Application\n" + exec + "X-GNOME-Autostart-enabled=false\n";
        QTest::newRow("another program") << QByteArray("[Desktop Entry]\nType=Application\nExec=/usr/bin/old-vima\n");
        QTest::newRow("no exec") << QByteArray("[Desktop Entry]\nType=Application\n");
        QTest::newRow("not an entry") << QByteArray("garbage");
    }
    void entriesThatDoNotStartUs()
    {
        QFETCH(QByteArray, text);
        writeEntry(text);
        QCOMPARE(autostart().status(), LoginItemStatus::notRegistered);
        autostart().registerItem();
        QCOMPARE(autostart().status(), LoginItemStatus::enabled);
    }

    void anUnwritableFolderIsReported()
    {
        QFile blocker(home_.filePath("autostart"));
        QDir(home_.filePath("autostart")).removeRecursively();
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        QVERIFY_THROWS_EXCEPTION(PlatformError, autostart().registerItem());
        QVERIFY(blocker.remove());
    }
};

QTEST_GUILESS_MAIN(TestXdgAutostart)
#include "tst_xdgautostart.moc"
