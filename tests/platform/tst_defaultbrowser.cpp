// The browser a fresh configuration makes its app ring for: the desktop's
// choice, as the mimeapps.list files name it.
#include "model/AppSuggestions.h"
#include "platform/DefaultBrowser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace vima;

class TestDefaultBrowser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void browserChoice_data()
    {
        QTest::addColumn<std::optional<QString>>("desktopDefault");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("chosen");
        const std::optional<QString> unset;
        QTest::newRow("the default") << std::optional<QString>("google-chrome") << QStringList{"firefox"}
                                     << "google-chrome";
        QTest::newRow("default without keys") << std::optional<QString>("org.gnome.Epiphany")
                                              << QStringList{"brave-browser", "chromium"} << "chromium";
        QTest::newRow("no default") << unset << QStringList{"vivaldi-stable"} << "vivaldi-stable";
        QTest::newRow("nothing installed") << unset << QStringList{} << "firefox";
    }

    void browserChoice()
    {
        QFETCH(std::optional<QString>, desktopDefault);
        QFETCH(QStringList, installed);
        QTEST(DefaultBrowser::choose(desktopDefault, knownBrowserIDs(),
                                     [&](const QString &id) { return installed.contains(id); }),
              "chosen");
    }

    void httpHandlerFromMimeapps()
    {
        QTemporaryDir home;
        const QString config = home.filePath(QStringLiteral("config"));
        const QString data = home.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(config) && QDir().mkpath(data + QStringLiteral("/applications")));
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
        qputenv("XDG_CONFIG_DIRS", home.filePath(QStringLiteral("none")).toUtf8());
        qputenv("XDG_DATA_HOME", data.toUtf8());
        qputenv("XDG_DATA_DIRS", home.filePath(QStringLiteral("none")).toUtf8());
        qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        const auto write = [](const QString &path, const QByteArray &text) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
        };
        QCOMPARE(DefaultBrowser::httpHandler(), std::nullopt);
        QVERIFY(write(data + QStringLiteral("/applications/mimeapps.list"),
                      "[Default Applications]\nx-scheme-handler/http=opera.desktop\n"));
        QCOMPARE(DefaultBrowser::httpHandler(), std::optional<QString>("opera"));
        QVERIFY(write(config + QStringLiteral("/mimeapps.list"),
                      "[Added Associations]\nx-scheme-handler/http=firefox.desktop;\n"
                      "[Default Applications]\ntext/html=vivaldi-stable.desktop\n"
                      "x-scheme-handler/http=brave-browser.desktop;firefox.desktop;\n"));
        QCOMPARE(DefaultBrowser::httpHandler(), std::optional<QString>("brave-browser"));
        QVERIFY(write(config + QStringLiteral("/gnome-mimeapps.list"),
                      "[Default Applications]\nx-scheme-handler/http=google-chrome.desktop\n"));
        QCOMPARE(DefaultBrowser::httpHandler(), std::optional<QString>("google-chrome"));
        // One that is no file is passed over at once: it may never end.
        QVERIFY(QFile::remove(config + QStringLiteral("/gnome-mimeapps.list")));
        QCOMPARE(::mkfifo(QFile::encodeName(config + QStringLiteral("/gnome-mimeapps.list")).constData(), 0600), 0);
        QCOMPARE(DefaultBrowser::httpHandler(), std::optional<QString>("brave-browser"));
    }
};

QTEST_GUILESS_MAIN(TestDefaultBrowser)
#include "tst_defaultbrowser.moc"
