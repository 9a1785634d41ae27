#include "platform/fake/FakeApplicationCatalog.h"
#include "store/AppDisplayName.h"

#include <QTest>

using namespace vima;

class TestAppDisplayName : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void displayName_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<std::optional<QString>>("name");
        QTest::newRow("named") << "org.gnome.TextEditor" << std::optional<QString>("Text Editor");
        QTest::newRow("nameless entry") << "firefox" << std::optional<QString>("firefox");
        QTest::newRow("another id of the browser") << "org.mozilla.firefox" << std::optional<QString>("firefox");
        QTest::newRow("its id in another case") << "Firefox" << std::optional<QString>("firefox");
        QTest::newRow("not installed") << "org.example.Missing" << std::optional<QString>();
        QTest::newRow("empty") << "" << std::optional<QString>();
    }
    void displayName()
    {
        QFETCH(QString, bundleID);
        QFETCH(std::optional<QString>, name);
        const FakeApplicationCatalog catalog({
            {QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor"), {}, {}, {},
             QStringLiteral("/usr/share/applications/org.gnome.TextEditor.desktop"), {}, false, {}},
            {QStringLiteral("firefox"), QString(), {}, {}, {},
             QStringLiteral("/usr/share/applications/firefox.desktop"), {}, false, {}},
            {QString(), QStringLiteral("Nameless id"), {}, {}, {}, {}, {}, false, {}},
        });
        QCOMPARE(appDisplayName(catalog, bundleID), name);
    }
};

QTEST_GUILESS_MAIN(TestAppDisplayName)
#include "tst_appdisplayname.moc"
