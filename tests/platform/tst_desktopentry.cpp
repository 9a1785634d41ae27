#include "platform/x11/DesktopEntry.h"
#include "platform/x11/DesktopExec.h"

#include <QTest>

using namespace vima;

using Arguments = std::optional<QStringList>;
Q_DECLARE_METATYPE(Arguments)
Q_DECLARE_METATYPE(DesktopExec::Fields)

class TestDesktopEntry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsOnlyTheMainGroup()
    {
        const auto entry = DesktopEntry::parse(
            "# comment\n\n[Desktop Entry]\nName = Editor \nType=Application\nName=Second\n"
            "[Desktop Action new]\nExec=other\n");
        QVERIFY(entry);
        QCOMPARE(entry->value("Name"), "Editor");
        QVERIFY(!entry->contains("Exec"));
        QVERIFY(!DesktopEntry::parse("[Other]\nName=x\n[Desktop Entry]\nName=y\n"));
        QVERIFY(!DesktopEntry::parse("Name=x\n"));
    }

    void localizedValue_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("full match") << "sr_YU@Latn" << "sr_YU@Latn";
        QTest::newRow("country") << "sr_YU.UTF-8" << "sr_YU";
        QTest::newRow("modifier") << "sr_CS@Latn" << "sr@Latn";
        QTest::newRow("language") << "sr_CS" << "sr";
        QTest::newRow("none") << "de_DE.UTF-8" << "plain";
        QTest::newRow("C") << "C" << "plain";
    }
    void localizedValue()
    {
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        const auto entry = DesktopEntry::parse(
            "[Desktop Entry]\nName=plain\nName[sr]=sr\nName[sr@Latn]=sr@Latn\n"
            "Name[sr_YU]=sr_YU\nName[sr_YU@Latn]=sr_YU@Latn\n");
        QCOMPARE(entry->localizedValue("Name", locale), expected);
    }

    void decodesEscapesListsAndBooleans()
    {
        const auto entry = DesktopEntry::parse(
            "[Desktop Entry]\nComment=a\\sb\\nc\\td\\\\e\\;f\nCategories=Utility;Text\\;Editor;;Dev\\\\;\n"
            "Terminal=true\nHidden=True\n");
        QCOMPARE(entry->value("Comment"), "a b\nc\td\\e\\;f");
        QCOMPARE(entry->list("Categories"), (QStringList{"Utility", "Text;Editor", "Dev\\"}));
        QVERIFY(entry->boolean("Terminal"));
        QVERIFY(!entry->boolean("Hidden")); // only "true" is true
    }

    void escapeRoundTrips()
    {
        const QString value = " lead\\ing\nline\ttab\rret";
        const auto entry = DesktopEntry::parse(("[Desktop Entry]\nKey=" + DesktopEntry::escape(value)).toUtf8());
        QCOMPARE(entry->value("Key"), value);
    }

    void split_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<DesktopExec::Fields>("fields");
        QTest::addColumn<Arguments>("expected");
        const DesktopExec::Fields none;
        const DesktopExec::Fields two{{QUrl::fromLocalFile("/tmp/a b.txt"), QUrl("https://x.org/?q=1")},
                                      "editor", "Editor", "/usr/share/applications/e.desktop"};
        QTest::newRow("plain") << "gedit  --new-window" << none << Arguments({"gedit", "--new-window"});
        QTest::newRow("quotes")
            << "\"/opt/My App/run\" \"say \\\"hi\\\" \\$HOME \\`x\\` \\\\\"" << none
            << Arguments({"/opt/My App/run", "say \"hi\" $HOME `x` \\"});
        QTest::newRow("empty quoted") << "app \"\"" << none << Arguments({"app", ""});
        QTest::newRow("quote joins word") << "app --name=\"a b\"" << none << Arguments({"app", "--name=a b"});
        QTest::newRow("percent") << "printf 100%% \"%%d\"" << none << Arguments({"printf", "100%", "%d"});
        QTest::newRow("%f first local file") << "app %f" << two << Arguments({"app", "/tmp/a b.txt"});
        QTest::newRow("%F local files") << "app %F --x" << two << Arguments({"app", "/tmp/a b.txt", "--x"});
        QTest::newRow("%u first url") << "app %u" << two << Arguments({"app", "/tmp/a b.txt"});
        QTest::newRow("%U all urls") << "app %U" << two << Arguments({"app", "/tmp/a b.txt", "https://x.org/?q=1"});
        QTest::newRow("%i %c %k") << "app %i --title=%c %k" << two
                                  << Arguments({"app", "--icon", "editor", "--title=Editor",
                                                "/usr/share/applications/e.desktop"});
        QTest::newRow("empty codes vanish") << "app %f %U %i --file=%f" << none << Arguments({"app", "--file="});
        QTest::newRow("deprecated codes removed") << "app %d %m -x" << none << Arguments({"app", "-x"});
        QTest::newRow("open quote") << "app \"abc" << none << Arguments();
        QTest::newRow("open single quote") << "sh -c 'echo hi" << none << Arguments();
        QTest::newRow("unknown code") << "app %z" << none << Arguments();
        QTest::newRow("trailing percent") << "app %" << none << Arguments();
        QTest::newRow("list code in a word") << "app --files=%F" << two << Arguments();
        QTest::newRow("list code quoted") << "app \"%U\"" << two << Arguments();
        QTest::newRow("single quotes") << "sh -c 'echo \"$1\"' sh %f" << two
                                       << Arguments({"sh", "-c", "echo \"$1\"", "sh", "/tmp/a b.txt"});
        QTest::newRow("bash -c") << "bash -c 'cd ~/x && ./start.sh'" << none
                                 << Arguments({"bash", "-c", "cd ~/x && ./start.sh"});
        // Wine's entries once the file's own escapes are read (its \\\\ is \\ here).
        QTest::newRow("Wine's program") << R"(env WINEPREFIX="/u/.wine" wine C:\\windows\\start.exe /Unix /u/w.exe)"
                                        << none << Arguments({"env", "WINEPREFIX=/u/.wine", "wine",
                                                              R"(C:\windows\start.exe)", "/Unix", "/u/w.exe"});
        QTest::newRow("Wine's shortcut") << R"(wine C:\\Start\ Menu\\Foo.lnk)" << none
                                         << Arguments({"wine", R"(C:\Start Menu\Foo.lnk)"});
        QTest::newRow("backslash at the end") << "app a\\" << none << Arguments();
        QTest::newRow("field code in single quotes") << "sh -c 'cat %f'" << two << Arguments();
        QTest::newRow("single quote inside quotes") << "app \"it's\"" << none << Arguments({"app", "it's"});
    }
    void split()
    {
        QFETCH(QString, exec);
        QFETCH(DesktopExec::Fields, fields);
        QFETCH(Arguments, expected);
        QCOMPARE(DesktopExec::split(exec, fields), expected);
    }

    void quote_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "/usr/bin/vima" << "/usr/bin/vima";
        QTest::newRow("space") << "/opt/My App/vima" << "\"/opt/My App/vima\"";
        QTest::newRow("specials") << "a\"b`c$d\\e" << "\"a\\\"b\\`c\\$d\\\\e\"";
        QTest::newRow("percent") << "50%" << "50%%";
        QTest::newRow("empty") << "" << "\"\"";
    }
    void quote()
    {
        QFETCH(QString, argument);
        QFETCH(QString, quoted);
        QCOMPARE(DesktopExec::quote(argument), quoted);
        QCOMPARE(DesktopExec::split(quoted), Arguments(QStringList{argument}));
    }

    void commandSurvivesTheFileEscapes()
    {
        const QStringList arguments{"/home/me/odd dir/back\\slash/vima", "--x=%u", ""};
        const QString line = "[Desktop Entry]\nExec=" + DesktopEntry::escape(DesktopExec::join(arguments));
        QVERIFY(line.contains("\\\\\\\\")); // a literal backslash takes four in the file
        const auto entry = DesktopEntry::parse(line.toUtf8());
        QCOMPARE(DesktopExec::split(entry->value("Exec")), Arguments(arguments));
    }
};

QTEST_GUILESS_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
