#include "platform/x11/DesktopEntry.h"
#include "platform/x11/WindowNames.h"
#include "platform/x11/XdgApplicationCatalog.h"

#include "../support/BoundedChild.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>

using namespace vima;

namespace {

// An Exec line in `extra` stands in for the one the name gives.
QByteArray entry(const QByteArray &name, const QByteArray &extra = {})
{
    const QByteArray exec = extra.startsWith("Exec=") ? QByteArray() : "Exec=" + name.toLower() + " %U\n";
    return "[Desktop Entry]\nType=Application\nName=" + name + "\n" + exec + extra;
}

} // namespace

class TestXdgApplicationCatalog : public QObject {
    Q_OBJECT

private:
    QTemporaryDir root_;
    QString home_, system_;

    void write(const QString &dataDir, const QString &relative, const QByteArray &content)
    {
        const QString path = dataDir + "/applications/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    XdgApplicationCatalog catalog(const QString &locale = "C", const QStringList &desktops = {}) const
    {
        return XdgApplicationCatalog({home_, system_, root_.filePath("missing")}, locale, desktops);
    }

    // Entries shaped like those of Debian packages, in a GNOME session
    // ("ubuntu:GNOME" to see that the first desktop named decides).
    void writePackaged()
    {
        write(system_, "chromium.desktop", entry("Chromium", "StartupWMClass=chromium\n"));
        // A web app the browser installed: its windows keep the browser's class.
        write(home_, "chrome-abcdef-Default.desktop",
              entry("Notes", "Exec=/usr/bin/chromium --profile-directory=Default --app-id=abcdef\n"
                             "StartupWMClass=crx_abcdef\n"));
        write(system_, "debian-xterm.desktop", entry("XTerm", "StartupWMClass=XTerm\n"));
        write(system_, "debian-uxterm.desktop", entry("UXTerm", "StartupWMClass=UXTerm\n"));
        write(system_, "python3.11.desktop", entry("Python (v3.11)", "Terminal=true\n"));
        write(system_, "jetbrains-idea.desktop", entry("IntelliJ IDEA", "StartupWMClass=jetbrains-idea-ce\n"));
        write(system_, "org.gnome.TextEditor.desktop", entry("Text Editor"));
        write(system_, "firefox-esr.desktop", entry("Firefox ESR", "StartupWMClass=Firefox-esr\n"));
        write(system_, "org.gnome.Evolution-alarm-notify.desktop",
              entry("Evolution Alarm Notify", "NoDisplay=true\nStartupWMClass=evolution-alarm-notify\n"));
        write(system_, "mate-panel.desktop", entry("MATE Panel", "OnlyShowIn=MATE;\n"));
        write(system_, "systemsettings.desktop", entry("System Settings", "OnlyShowIn=KDE;\n"));
        write(system_, "nm-applet.desktop", entry("Network", "NotShowIn=KDE;GNOME;\n"));
        write(system_, "org.gnome.Settings.desktop", entry("Settings", "OnlyShowIn=GNOME;Unity;\n"));
        write(system_, "org.gnome.Terminal.desktop", entry("Terminal", "OnlyShowIn=GNOME;Unity;\n"));
        write(system_, "org.gnome.Terminal.Preferences.desktop",
              entry("Preferences", "Exec=gnome-terminal --preferences\nNoDisplay=true\n"
                                   "StartupWMClass=Gnome-terminal-preferences\n"));
        write(system_, "emacs.desktop", entry("Emacs (GUI)", "Exec=/usr/bin/emacs %F\nStartupWMClass=Emacs\n"));
        write(system_, "emacsclient.desktop",
              entry("Emacs (Client)", "Exec=sh -c \"exec emacsclient --create-frame\" sh %F\nStartupWMClass=Emacs\n"));
        write(system_, "gimp.desktop", entry("GNU Image Manipulation Program", "Exec=gimp-2.10 %U\n"));
        write(system_, "org.example.Notebook.desktop", entry("Notebook", "Exec=python3 /usr/share/notebook/main.py\n"));
        write(system_, "org.example.Foo.desktop", entry("Foo"));
        write(system_, "foo-helper.desktop", entry("Foo Helper", "NoDisplay=true\nStartupWMClass=foo\n"));
        write(system_, "ubuntu-tour.desktop", entry("Tour", "OnlyShowIn=GNOME;\nNotShowIn=ubuntu;\n"));
        write(system_, "xfce4-about.desktop", entry("About Xfce", "TryExec=xfce4-about-nowhere\n"));
        write(system_, "shell.desktop", entry("Shell", "TryExec=sh\n"));
        write(system_, "notes.desktop", entry("Not a program", "TryExec=" + system_.toUtf8() + "/applications\n"));
    }

    QStringList ids(const QList<DesktopApp> &apps) const
    {
        QStringList list;
        for (const DesktopApp &app : apps)
            list << app.bundleID;
        return list;
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(root_.isValid());
        home_ = root_.filePath("home");
        system_ = root_.filePath("system");
        QDir(home_).removeRecursively();
        QDir(system_).removeRecursively();
    }

    void readsTheFields()
    {
        write(system_, "org.example.Edit.desktop",
              "[Desktop Entry]\nType=Application\nName=Edit\nName[de]=Bearbeiten\nExec=edit --new %F\n"
              "Icon=accessories-text-editor\nPath=/srv/work\nTerminal=true\nCategories=Utility;TextEditor;\n"
              "StartupWMClass=edit-main\n");
        const auto app = catalog("de_AT.UTF-8").find("org.example.Edit");
        QVERIFY(app);
        QCOMPARE(app->name, "Bearbeiten");
        QCOMPARE(app->exec, "edit --new %F");
        QCOMPARE(app->icon, "accessories-text-editor");
        QCOMPARE(app->workingDirectory, "/srv/work");
        QCOMPARE(app->filePath, system_ + "/applications/org.example.Edit.desktop");
        QCOMPARE(app->categories, (QStringList{"Utility", "TextEditor"}));
        QCOMPARE(app->startupWMClass, "edit-main");
        QVERIFY(app->terminal);
        QCOMPARE(app->program, "edit");
    }

    // Windows name their application by WM_CLASS, which is often neither the
    // desktop-file id nor spelt like it.
    void windowClassesFindTheirApplication_data()
    {
        QTest::addColumn<QString>("windowClass");
        QTest::addColumn<QString>("bundleID"); // empty: none
        QTest::newRow("the id itself") << "gimp" << "gimp";
        QTest::newRow("the id, other case") << "Gimp" << "gimp";
        QTest::newRow("StartupWMClass") << "Navigator-esr" << "firefox-esr";
        QTest::newRow("StartupWMClass, other case") << "navigator-esr" << "firefox-esr";
        QTest::newRow("last part of a reverse-domain id") << "firefox" << "org.mozilla.firefox";
        QTest::newRow("StartupWMClass before last part") << "Thunderbird" << "eu.betterbird.Betterbird";
        QTest::newRow("a plain id's tail is no match") << "esr" << "";
        QTest::newRow("unknown") << "xterm" << "";
    }
    void windowClassesFindTheirApplication()
    {
        QFETCH(QString, windowClass);
        QFETCH(QString, bundleID);
        write(system_, "gimp.desktop", entry("GIMP"));
        write(system_, "firefox-esr.desktop", entry("Firefox ESR", "StartupWMClass=Navigator-esr\n"));
        write(system_, "org.mozilla.firefox.desktop", entry("Firefox"));
        write(system_, "org.mozilla.Thunderbird.desktop", entry("Thunderbird"));
        write(home_, "eu.betterbird.Betterbird.desktop", entry("Betterbird", "StartupWMClass=Thunderbird\n"));
        const XdgApplicationCatalog apps = catalog();
        apps.all();
        const auto app = apps.findByWindow({}, {}, windowClass);
        QCOMPARE(app ? app->bundleID : QString(), bundleID);
    }

    // What the desktop lists (GLib's g_app_info_should_show): NoDisplay, an
    // entry for other desktops or a missing TryExec program keep an entry
    // out of the lists; finding it by id still finds it.
    void packagedEntriesListedAsTheDesktopDoes_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<bool>("listed");
        QTest::newRow("plain") << "chromium" << true;
        QTest::newRow("NoDisplay") << "org.gnome.Evolution-alarm-notify" << false;
        QTest::newRow("OnlyShowIn another desktop") << "mate-panel" << false;
        QTest::newRow("OnlyShowIn another desktop, KDE") << "systemsettings" << false;
        QTest::newRow("NotShowIn this desktop") << "nm-applet" << false;
        QTest::newRow("OnlyShowIn this desktop") << "org.gnome.Settings" << true;
        QTest::newRow("the first desktop named decides") << "ubuntu-tour" << false;
        QTest::newRow("TryExec not in PATH") << "xfce4-about" << false;
        QTest::newRow("TryExec in PATH") << "shell" << true;
        QTest::newRow("TryExec not executable") << "notes" << false;
    }
    void packagedEntriesListedAsTheDesktopDoes()
    {
        QFETCH(QString, bundleID);
        QFETCH(bool, listed);
        writePackaged();
        const XdgApplicationCatalog apps = catalog("C", {"ubuntu", "GNOME"});
        apps.all();
        QCOMPARE(ids(apps.all()).contains(bundleID), listed);
        QVERIFY(apps.find(bundleID));
    }

    // Whose window it is, as the desktop tells (GNOME Shell's window
    // tracker): StartupWMClass against the instance, then the class, before
    // any desktop-id rule; the program's file name last, never an
    // interpreter's; an unlisted entry where no listed one names it, by the
    // exact rules alone, in any session. A launch slot raises a window only
    // of its own entry.
    void packagedWindowsBelongAsTheDesktopTells_data()
    {
        QTest::addColumn<QString>("applicationID");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("owner"); // empty: none; "GNOME's|the others'" where sessions differ
        QTest::newRow("browser") << "" << "chromium" << "Chromium" << "chromium";
        QTest::newRow("the browser's web app") << "" << "crx_abcdef" << "Chromium" << "chrome-abcdef-Default";
        QTest::newRow("web app without an entry") << "" << "crx_zzz" << "Chromium" << "chromium";
        QTest::newRow("XTerm") << "" << "xterm" << "XTerm" << "debian-xterm";
        QTest::newRow("UXTerm: xterm -class UXTerm") << "" << "xterm" << "UXTerm" << "debian-uxterm";
        QTest::newRow("java IDE") << "" << "jetbrains-idea-ce" << "jetbrains-idea-ce" << "jetbrains-idea";
        QTest::newRow("java program no entry names")
            << "" << "sun-awt-X11-XFramePeer" << "java-lang-Thread" << "";
        QTest::newRow("Python Tk program") << "" << "tool" << "Tk" << "";
        QTest::newRow("Python Qt program") << "" << "tool.py" << "Tool.py" << "";
        QTest::newRow("GTK application id") << "org.gnome.TextEditor" << "gnome-text-editor"
                                            << "Gnome-text-editor" << "org.gnome.TextEditor";
        QTest::newRow("StartupWMClass is the class") << "" << "Navigator" << "Firefox-esr" << "firefox-esr";
        QTest::newRow("NoDisplay entry")
            << "" << "evolution-alarm-notify" << "Evolution-alarm-notify" << "org.gnome.Evolution-alarm-notify";
        QTest::newRow("GNOME Terminal's entry") << "org.gnome.Terminal" << "gnome-terminal-server" << "Gnome-terminal"
                                                << "org.gnome.Terminal";
        QTest::newRow("KDE System Settings") << "" << "systemsettings" << "systemsettings" << "systemsettings";
        QTest::newRow("entries sharing a class: the one called like the window") << "" << "emacs" << "Emacs" << "emacs";
        QTest::newRow("by its Exec program") << "" << "gimp-2.10" << "Gimp-2.10" << "gimp";
        QTest::newRow("never by an interpreter") << "" << "python3" << "Python3" << "";
        QTest::newRow("a listed entry before an unlisted one") << "" << "foo" << "Foo" << "org.example.Foo";
        QTest::newRow("an unlisted helper's last part claims nothing") << "" << "preferences" << "Preferences" << "";
        QTest::newRow("an unlisted entry's last part claims nothing")
            << "" << "terminal" << "Terminal" << "org.gnome.Terminal|";
    }
    void packagedWindowsBelongAsTheDesktopTells()
    {
        QFETCH(QString, applicationID);
        QFETCH(QString, instance);
        QFETCH(QString, className);
        QFETCH(QString, owner);
        const QString others = owner.section(u'|', -1);
        owner = owner.section(u'|', 0, 0);
        writePackaged();
        const XdgApplicationCatalog apps = catalog("C", {"ubuntu", "GNOME"});
        apps.all();
        const auto found = apps.findByWindow(applicationID, instance, className);
        QCOMPARE(found ? found->bundleID : QString(), owner);
        const WindowNames window{applicationID, instance, className};
        for (const DesktopApp &app : apps.all()) {
            const bool raises = window.belongTo(AppIdentity(app.bundleID, {app.startupWMClass}), &apps);
            QVERIFY2(raises == (app.bundleID == owner), qPrintable(app.bundleID));
        }
        // Fewer listed there.
        for (const QStringList &desktops : {QStringList{"KDE"}, QStringList{"XFCE"}, QStringList{}}) {
            const XdgApplicationCatalog elsewhere = catalog("C", desktops);
            elsewhere.all();
            const auto there = elsewhere.findByWindow(applicationID, instance, className);
            QCOMPARE(there ? there->bundleID : QString(), others);
        }
    }

    void subdirectoriesGiveDashedIds()
    {
        write(system_, "kde/konsole.desktop", entry("Konsole"));
        write(system_, "a/b/c.desktop", entry("Deep"));
        QCOMPARE(catalog().find("kde-konsole")->name, "Konsole");
        QCOMPARE(catalog().find("a-b-c")->name, "Deep");
        QVERIFY(!catalog().find("konsole"));
        // A link to a folder inside it is a folder like another; one back up is a loop.
        QVERIFY(QFile::link(system_ + "/applications/kde", system_ + "/applications/kde4"));
        QVERIFY(QFile::link(system_ + "/applications", system_ + "/applications/kde/up"));
        QCOMPARE(catalog().find("kde4-konsole")->name, "Konsole");
        QCOMPARE(ids(catalog().all()), (QStringList{"a-b-c", "kde-konsole", "kde4-konsole"}));
    }

    void findAgreesWithAllOnAmbiguousIds()
    {
        write(system_, "a-b.desktop", entry("Flat"));
        write(system_, "a/b.desktop", entry("Nested"));
        write(home_, "kde/x.desktop", entry("Home"));
        write(system_, "kde-x.desktop", entry("System"));
        write(system_, "a-b-c-d-e-f-g-h.desktop", entry("Dashes"));
        const auto apps = catalog().all();
        for (const DesktopApp &app : apps)
            QCOMPARE(catalog().find(app.bundleID), std::optional(app));
        QCOMPARE(catalog().find("kde-x")->name, "Home");
        QCOMPARE(catalog().find("a-b-c-d-e-f-g-h")->name, "Dashes");
        QCOMPARE(apps.size(), 3);
    }

    // Only Hidden means deleted: a NoDisplay entry is no choice to offer, but
    // an item that names it still opens it.
    void skipsWhatIsNotAShownApplication()
    {
        write(system_, "hidden.desktop", entry("Hidden", "Hidden=true\n"));
        write(system_, "nodisplay.desktop", entry("NoDisplay", "NoDisplay=true\n"));
        write(system_, "link.desktop", "[Desktop Entry]\nType=Link\nName=Link\nURL=https://x.org\n");
        write(system_, "broken.desktop", "Name=Broken\n");
        write(system_, ".cache/stale.desktop", entry("In a hidden folder"));
        write(system_, "shown.desktop", entry("Shown"));
        QCOMPARE(ids(catalog().all()), QStringList{"shown"});
        QVERIFY(!catalog().find("hidden"));
        const auto kept = catalog().find("nodisplay");
        QVERIFY(kept && kept->unlisted);
    }

    // Whatever stands in an applications folder under an entry's name, the
    // catalog neither waits on it nor holds more than an entry's worth of it.
    void oddFilesHangNothing_data()
    {
        QTest::addColumn<QString>("target"); // what zero.desktop leads to; empty: a named pipe
        QTest::addColumn<qint64>("size");    // a file of this size instead, when not zero
        QTest::newRow("link to /dev/zero") << "/dev/zero" << qint64(0);
        QTest::newRow("link to a named pipe") << "" << qint64(0);
        QTest::newRow("oversize sparse file") << "" << DesktopEntry::maxFileSize + 1;
        QTest::newRow("link to /, a folder") << "/" << qint64(0);
    }
    void oddFilesHangNothing()
    {
        QFETCH(QString, target);
        QFETCH(qint64, size);
        write(home_, "shown.desktop", entry("Shown"));
        const QString odd = home_ + "/applications/zero.desktop";
        if (size > 0) {
            write(home_, "zero.desktop", entry("Zero"));
            QVERIFY(QFile::resize(odd, size));
        } else if (target.isEmpty()) {
            const QString pipe = root_.filePath("pipe");
            QFile::remove(pipe);
            QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
            QVERIFY(QFile::link(pipe, odd));
        } else {
            QVERIFY(QFile::link(target, odd));
        }
        const QString failure = test::inBoundedChild([this] {
            const XdgApplicationCatalog apps = catalog();
            return ids(apps.all()) == QStringList{"shown"} && !apps.find("zero") && !apps.findByWindow({}, "zero", "Zero");
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void earlierDirectoriesWin()
    {
        write(home_, "editor.desktop", entry("My Editor"));
        write(system_, "editor.desktop", entry("Editor"));
        // A hidden entry at home removes the system one.
        write(home_, "tool.desktop", entry("Tool", "Hidden=true\n"));
        write(system_, "tool.desktop", entry("Tool"));
        const auto apps = catalog().all();
        QCOMPARE(ids(apps), QStringList{"editor"});
        QCOMPARE(apps.first().name, "My Editor");
        QVERIFY(!catalog().find("tool"));
    }

    // The list is read once, and again when an entry comes or goes, also in a
    // subfolder or in a data dir that had no applications folder yet.
    void listFollowsFolderChanges()
    {
        write(system_, "kde/konsole.desktop", entry("Konsole"));
        const XdgApplicationCatalog apps = catalog();
        QCOMPARE(ids(apps.all()), QStringList{"kde-konsole"});
        const quint64 before = apps.revision();
        write(system_, "kde/kate.desktop", entry("Kate"));
        write(home_, "gimp.desktop", entry("GIMP"));
        // Seen by a read on the worker.
        QTRY_VERIFY(apps.revision() != before);
        QCOMPARE(ids(apps.all()), (QStringList{"gimp", "kde-kate", "kde-konsole"}));
        QVERIFY(QFile::remove(system_ + "/applications/kde/konsole.desktop"));
        QCOMPARE(ids(apps.all()), (QStringList{"gimp", "kde-kate"}));
        // Removed in the same tick of the folder's clock as the read: its stamp doesn't move.
        const QString kde = system_ + "/applications/kde";
        struct stat folder;
        QCOMPARE(::stat(QFile::encodeName(kde).constData(), &folder), 0);
        QVERIFY(QFile::remove(kde + "/kate.desktop"));
        const timespec stamps[] = {folder.st_atim, folder.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(kde).constData(), stamps, 0), 0);
        QCOMPARE(ids(apps.all()), QStringList{"gimp"});
    }

    void identifiersThatArePathsNameNoApplication_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::newRow("climbs out") << "../../outside/evil";
        QTest::newRow("into a subfolder") << "kde/konsole";
        QTest::newRow("dot file") << ".hidden";
        QTest::newRow("through a link out of its folder") << "out-evil";
        QTest::newRow("empty") << "";
    }

    void identifiersThatArePathsNameNoApplication()
    {
        QFETCH(QString, bundleID);
        // system_/applications/../../outside/evil.desktop
        write(root_.path(), "../outside/evil.desktop", entry("Evil"));
        write(system_, "kde/konsole.desktop", entry("Konsole"));
        write(system_, ".hidden.desktop", entry("Hidden"));
        write(system_, ".desktop", entry("Nameless"));
        QFile::link(root_.filePath("outside"), system_ + "/applications/out");
        QVERIFY(!catalog().find(bundleID));
        QVERIFY(catalog().find("kde-konsole"));
    }

    void nameFallsBackToTheFileName()
    {
        write(system_, "org.example.Nameless.desktop", "[Desktop Entry]\nType=Application\nExec=x\n");
        QCOMPARE(catalog().find("org.example.Nameless")->name, "org.example.Nameless");
    }

    void allIsSortedByNameIgnoringCase()
    {
        write(system_, "z.desktop", entry("zeta"));
        write(system_, "a.desktop", entry("Alpha"));
        write(home_, "b.desktop", entry("beta"));
        QCOMPARE(ids(catalog().all()), (QStringList{"a", "b", "z"}));
    }

    void standardDirsFollowTheEnvironment()
    {
        qputenv("XDG_DATA_HOME", "/data/home/");
        qputenv("XDG_DATA_DIRS", "/usr/share:relative::/opt/share:/usr/share/");
        QCOMPARE(XdgApplicationCatalog::standardDataDirs(), (QStringList{"/data/home", "/usr/share", "/opt/share"}));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
        QCOMPARE(XdgApplicationCatalog::standardDataDirs(),
                 (QStringList{QDir::homePath() + "/.local/share", "/usr/local/share", "/usr/share"}));
    }
};

QTEST_GUILESS_MAIN(TestXdgApplicationCatalog)
#include "tst_xdgapplicationcatalog.moc"
