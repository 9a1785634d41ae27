// Showing a file in the file manager over a real session bus: the file
// manager's ShowItems when one answers, else the folder is opened.
#include "platform/x11/XdgDesktopOpener.h"

#include <QCoroTask>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace vima;

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

class TestReveal : public QObject {
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

        QTemporaryDir dir;
        const QString opened = dir.filePath(QStringLiteral("opened"));
        // The opener of last resort writes down what it was asked to open.
        XdgDesktopOpener opener({QStringLiteral("sh"), QStringLiteral("-c"),
                                 QStringLiteral("printf %s \"$1\" > '%1'").arg(opened), QStringLiteral("sh")});
        const QString file = dir.filePath(QStringLiteral("Vima/config.json"));

        bool done = false;
        auto reveal = [&]() -> QCoro::Task<void> {
            co_await opener.reveal(file);
            done = true;
        };
        reveal();
        QTRY_VERIFY(done);
        QCOMPARE(fileManager.shown, QList<QStringList>{{QUrl::fromLocalFile(file).toString()}});

        QVERIFY(bus.unregisterService(service));
        QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(service));
        done = false;
        reveal();
        QTRY_VERIFY(done);
        QFile written(opened);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(written.readAll()), dir.filePath(QStringLiteral("Vima")));
        QCOMPARE(fileManager.shown.size(), 1);
        QDBusConnection::disconnectFromBus(QStringLiteral("file-manager"));
    }
};

QTEST_GUILESS_MAIN(TestReveal)
#include "reveal_e2e.moc"
