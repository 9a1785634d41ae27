// The model menu over a local server that lists 40,000 models: the menu's
// build alone, and the AI tab from coming on screen to a filled menu, with the
// main thread's longest stall meanwhile.
#include "QtBenchmarkMain.h"
#include "SettingsHarness.h"
#include "http/LoopbackHttpServer.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/ai/AISettingsPage.h"
#include "settings/ai/ModelChoice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace vima;
using namespace vima::test;

namespace {

constexpr int servedModels = 40000;

QString modelName(int index) { return QStringLiteral("library/model-%1:7b").arg(index); }

// A reply of "api/tags" trimmed to a few fields per model: with all of them,
// 40,000 models pass the 8 MB ceiling of a reply.
QByteArray tags(int count)
{
    QJsonArray models;
    for (int i = 0; i < count; ++i)
        models.append(QJsonObject{{"name", modelName(i)}, {"model", modelName(i)}, {"size", 4683087332LL}});
    return QJsonDocument(QJsonObject{{"models", models}}).toJson(QJsonDocument::Compact);
}

// The longest gap between two turns of the event loop while it lives.
class StallMeter {
public:
    StallMeter()
    {
        clock_.start();
        ticks_.setInterval(0);
        QObject::connect(&ticks_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        ticks_.start();
    }
    double longestMs() const { return std::max(longest_, clock_.nsecsElapsed() - last_) / 1e6; }

private:
    QElapsedTimer clock_;
    QTimer ticks_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

void report(benchmark::State &state, const char *name, QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    state.counters[std::string(name) + "_median_ms"] = samples.at(samples.size() / 2);
    state.counters[std::string(name) + "_max_ms"] = samples.constLast();
}

void modelMenuAt40000(benchmark::State &state)
{
    QStringList served;
    for (int i = 0; i < servedModels; ++i)
        served << modelName(i);
    const QStringList suggested{"llama3.2", "qwen2.5", "mistral", "phi4"};
    for (auto _ : state)
        benchmark::DoNotOptimize(ModelChoice::menu(served, suggested, modelName(servedModels - 1)));
}
BENCHMARK(modelMenuAt40000)->Unit(benchmark::kMillisecond);

// With no model listed for comparison: what the tab costs by itself.
void aiTab(benchmark::State &state)
{
    LoopbackHttpServer server;
    server.setRoute("/api/tags", HttpRoute::reply(200, tags(int(state.range(0)))));
    QList<double> builds;
    QList<double> stalls;
    for (auto _ : state) {
        SettingsHarness harness;
        VimaConfig config = ConfigStore::makeDefaultConfig();
        config.ai.provider = LLMProviderKind::ollama;
        config.ai.ollamaBaseURL = server.url(QString()).toString();
        config.ai.model = modelName(servedModels - 1);
        harness.fixture.open(config);
        harness.userDefaults.setValue(AISettingsModel::modeKey, QStringLiteral("advanced"));

        const StallMeter meter;
        QElapsedTimer build;
        build.start();
        AISettingsPage page(harness.context());
        page.show();
        QToolButton *menuButton = nullptr;
        for (QToolButton *button : page.findChildren<QToolButton *>()) {
            if (button->accessibleName() == QStringLiteral("Suggested models"))
                menuButton = button;
        }
        const bool filled = QTest::qWaitFor(
            [&] { return !harness.ollama.isProbing() && menuButton->menu()->actions().size() > 4; }, 60000);
        if (!filled) {
            state.SkipWithError("the menu was never filled");
            return;
        }
        builds << build.nsecsElapsed() / 1e6;
        stalls << meter.longestMs();
        state.counters["menu_entries"] = double(menuButton->menu()->actions().size());
    }
    report(state, "build", builds);
    report(state, "longest_stall", stalls);
}
BENCHMARK(aiTab)->Arg(0)->Arg(servedModels)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return runQtBenchmarks<QApplication>(argc, argv);
}
