// "Reveal in Finder" over a real session bus: the file manager's ShowItems
// when one answers, else the folder is opened.
#include "StoreTestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>
#include <QUrl>

using namespace vima;
using namespace vima::test;

namespace {

const QString service = QStringLiteral("org.freedesktop.FileManager1");

class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QList<QStringList> shown;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &) { shown.append(uris); }
};

} // namespace

class TestRevealInFinder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsTheFileElseOpensTheFolder()
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                            QStringLiteral("file-manager"));
        QVERIFY(bus.isConnected());
        FakeFileManager fileManager;
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fileManager,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(service));

        StoreFixture fixture;
        ConfigStore &store = fixture.open();
        QStringList opened;
        store.openFolder = [&](const QString &folder) { opened.append(folder); };

        store.revealInFinder();
        QTRY_COMPARE(fileManager.shown.size(), 1);
        QCOMPARE(fileManager.shown.first(),
                 QStringList{QUrl::fromLocalFile(fixture.file()).toString()});

        QVERIFY(bus.unregisterService(service));
        QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(service));
        store.revealInFinder();
        QTRY_COMPARE(opened, QStringList{fixture.folder()});
        QCOMPARE(fileManager.shown.size(), 1);
        QDBusConnection::disconnectFromBus(QStringLiteral("file-manager"));
    }
};

QTEST_GUILESS_MAIN(TestRevealInFinder)
#include "reveal_e2e.moc"
