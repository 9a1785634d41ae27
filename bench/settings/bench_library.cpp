// The action library and the pack builder over every preset and 400
// installed applications: opening the library sheet (its scan delivered),
// one search keystroke in it, and one keystroke in the builder's apps filter,
// each with the event loop's layout and paint. Counters: median and maximum
// in milliseconds.
#include "QtBenchmarkMain.h"

#include "SettingsBench.h"
#include "settings/library/ActionLibraryView.h"
#include "settings/packs/PackAddPanel.h"
#include "settings/packs/PackBuilderView.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace vima;
using namespace vima::test;

namespace {

QList<InstalledApp> manyApps()
{
    QList<InstalledApp> apps;
    for (int i = 0; i < 400; ++i)
        apps.append({QStringLiteral("Application %1").arg(i), QStringLiteral("org.example.App%1").arg(i),
                     QStringLiteral("/usr/share/applications/org.example.App%1.desktop").arg(i)});
    return apps;
}

AppScan scanOfManyApps()
{
    return []() -> QCoro::Task<QList<InstalledApp>> { co_return manyApps(); };
}

struct Fixture {
    SettingsHarness harness;
    QUuid ringID;

    Fixture()
    {
        VimaConfig config;
        config.rings = {ring(QStringLiteral("Main"))};
        ringID = config.rings.first().id;
        harness.fixture.open(config);
    }
};

// Keystrokes that add and take back one letter, so every round filters.
void typeOrErase(QLineEdit *field, int round)
{
    if (round % 2)
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClick(field, Qt::Key_A);
}

void BM_OpenLibrary(benchmark::State &state)
{
    Fixture fixture;
    std::unique_ptr<ActionLibraryView> view;
    measureRounds(state, [&](int) {
        view = std::make_unique<ActionLibraryView>(fixture.harness.context(), fixture.ringID, scanOfManyApps());
        view->show();
    });
}
BENCHMARK(BM_OpenLibrary)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_LibrarySearchKeystroke(benchmark::State &state)
{
    Fixture fixture;
    ActionLibraryView view(fixture.harness.context(), fixture.ringID, scanOfManyApps());
    view.show();
    QApplication::processEvents();
    auto *search = view.findChild<QLineEdit *>(QStringLiteral("librarySearch"));
    QTest::keyClicks(search, QStringLiteral("ap"));
    measureRounds(state, [&](int round) { typeOrErase(search, round); });
}
BENCHMARK(BM_LibrarySearchKeystroke)->Unit(benchmark::kMillisecond)->Iterations(100);

void BM_BuilderAppsFilterKeystroke(benchmark::State &state)
{
    Fixture fixture;
    PackBuilderView view(fixture.harness.context(), {fixture.ringID, QStringLiteral("Main"), 0, {}}, scanOfManyApps());
    view.show();
    view.model().openAddPanel();
    view.model().showAppsPage();
    QApplication::processEvents();
    auto *search = view.addPanel().findChild<QLineEdit *>(QStringLiteral("packAppSearch"));
    QTest::keyClicks(search, QStringLiteral("ap"));
    measureRounds(state, [&](int round) { typeOrErase(search, round); });
}
BENCHMARK(BM_BuilderAppsFilterKeystroke)->Unit(benchmark::kMillisecond)->Iterations(100);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks<QApplication>(argc, argv);
}
