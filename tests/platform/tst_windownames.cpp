#include "platform/x11/WindowNames.h"

#include <QTest>

using namespace vima;

// Which running window a launch slot brings forward instead of starting its
// application again.
class TestWindowNames : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void belongTo_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QString>("startupWMClass");
        QTest::addColumn<QString>("exec"); // never a name its windows go by
        QTest::addColumn<QString>("applicationID");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("className");
        QTest::addColumn<bool>("belongs");
        QTest::newRow("GTK application id") << "org.gnome.TextEditor" << "" << "gnome-text-editor"
                                            << "org.gnome.TextEditor" << "gnome-text-editor"
                                            << "Gnome-text-editor" << true;
        QTest::newRow("class named like the desktop id") << "firefox" << "" << "firefox %u" << ""
                                                         << "Navigator" << "firefox" << true;
        QTest::newRow("another id of the browser") << "firefox" << "" << "firefox-esr %u" << ""
                                                   << "Navigator" << "Firefox-esr" << true;
        QTest::newRow("StartupWMClass") << "jetbrains-idea" << "jetbrains-idea-ce" << "idea.sh" << ""
                                        << "jetbrains-idea-ce" << "jetbrains-idea-ce" << true;
        QTest::newRow("another java program") << "org.example.Modeller" << "modeller"
                                              << "java -jar /opt/modeller.jar" << ""
                                              << "sun-awt-X11-XFramePeer" << "java-lang-Thread" << false;
        QTest::newRow("another electron program") << "chat" << "Chat" << "/usr/bin/electron /opt/chat" << ""
                                                  << "notes" << "Notes" << false;
        QTest::newRow("python program named like the interpreter") << "org.example.Tool" << ""
                                                                   << "python3 -m tool" << ""
                                                                   << "python3" << "python3" << false;
        QTest::newRow("flatpak") << "org.example.Paint" << "" << "flatpak run org.example.Paint" << ""
                                 << "flatpak" << "Flatpak" << false;
        QTest::newRow("another GTK application") << "org.gnome.Calculator" << "" << "gnome-calculator"
                                                 << "org.gnome.TextEditor" << "" << "" << false;
        QTest::newRow("no names at all") << "tool" << "" << "tool" << "" << "" << "" << false;
    }

    void belongTo()
    {
        QFETCH(QString, bundleID);
        QFETCH(QString, startupWMClass);
        QFETCH(QString, applicationID);
        QFETCH(QString, instance);
        QFETCH(QString, className);
        QFETCH(bool, belongs);
        QCOMPARE((WindowNames{applicationID, instance, className}.belongTo(AppIdentity(bundleID, {startupWMClass}), nullptr)),
                 belongs);
    }
};

QTEST_GUILESS_MAIN(TestWindowNames)
#include "tst_windownames.moc"
