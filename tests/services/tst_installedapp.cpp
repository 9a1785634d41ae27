#include "platform/fake/FakeApplicationCatalog.h"
#include "services/InstalledApp.h"

#include "../support/Await.h"

#include <QTest>
#include <QThread>

using namespace vima;

namespace {

DesktopApp app(const QString &id, const QString &name)
{
    DesktopApp desktopApp;
    desktopApp.bundleID = id;
    desktopApp.name = name;
    desktopApp.filePath = "/usr/share/applications/" + id + ".desktop";
    return desktopApp;
}

QStringList names(const QList<InstalledApp> &apps)
{
    QStringList list;
    for (const InstalledApp &installed : apps)
        list << installed.name;
    return list;
}

} // namespace

class TestInstalledApp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scanSortsByNameIgnoringCase()
    {
        const FakeApplicationCatalog catalog({app("z", "zeta"), app("a", "Alpha"), app("b", "beta"), app("d", "Delta")});
        QCOMPARE(names(InstalledApp::scan(catalog)), (QStringList{"Alpha", "beta", "Delta", "zeta"}));
    }

    void entriesCarryIdAndPath()
    {
        const FakeApplicationCatalog catalog({app("org.gnome.TextEditor", "Text Editor"), app("", "No id")});
        const auto apps = InstalledApp::scan(catalog);
        QCOMPARE(apps.size(), 1);
        QCOMPARE(apps.first(), (InstalledApp{"Text Editor", "org.gnome.TextEditor",
                                             "/usr/share/applications/org.gnome.TextEditor.desktop"}));
    }

    void loadAllResumesOnTheCallersThreadWithAFreshList()
    {
        auto catalog = std::make_shared<FakeApplicationCatalog>(QList<DesktopApp>{app("b", "beta"), app("a", "Alpha")});
        QThread *resumedOn = nullptr;
        auto load = [&]() -> QCoro::Task<QList<InstalledApp>> {
            auto apps = co_await InstalledApp::loadAll(catalog);
            resumedOn = QThread::currentThread();
            co_return apps;
        };
        QCOMPARE(names(test::await(load())), (QStringList{"Alpha", "beta"}));
        QCOMPARE(resumedOn, QThread::currentThread());

        catalog->install(app("c", "Gamma"));
        QCOMPARE(names(test::await(InstalledApp::loadAll(catalog))), (QStringList{"Alpha", "beta", "Gamma"}));
    }
};

QTEST_GUILESS_MAIN(TestInstalledApp)
#include "tst_installedapp.moc"
