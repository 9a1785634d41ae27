#include "ai/AnthropicProvider.h"
#include "ai/HttpExchange.h"
#include "ai/LLMService.h"
#include "http/LoopbackHttpServer.h"

#include "QtBenchmarkMain.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <benchmark/benchmark.h>

using namespace vima;

namespace {

// A failed reply's body of a megabyte of HTML: only 300 characters are kept.
void errorMessageOfALargeBody(benchmark::State &state)
{
    const QByteArray body = "<html>" + QByteArray(1 << 20, 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(HttpExchange::apiErrorMessage(body));
}
BENCHMARK(errorMessageOfALargeBody)->Unit(benchmark::kMicrosecond);

// A long answer in 500 text blocks.
void readALongAnthropicAnswer(benchmark::State &state)
{
    QJsonArray blocks;
    for (int i = 0; i < 500; ++i)
        blocks.append(QJsonObject{{"type", "text"}, {"text", QString(200, QLatin1Char('a'))}});
    const QByteArray body = QJsonDocument(QJsonObject{{"content", blocks}}).toJson();
    for (auto _ : state)
        benchmark::DoNotOptimize(AnthropicProvider::readAnswer(body));
}
BENCHMARK(readALongAnthropicAnswer)->Unit(benchmark::kMicrosecond);

// One whole exchange on the loopback interface, on a connection of its own.
void loopbackExchange(benchmark::State &state)
{
    LoopbackHttpServer server;
    server.setRoute("/v1/messages", HttpRoute::reply(200, R"({"content":[{"type":"text","text":"ok"}]})"));
    const HttpRequest request{server.url("/v1/messages").toEncoded(), {}};
    for (auto _ : state) {
        auto task = HttpExchange::send(request, "POST", "{}", 10, {}, Scheduler::system());
        benchmark::DoNotOptimize(QCoro::waitFor(task));
    }
}
BENCHMARK(loopbackExchange)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return vima::runQtBenchmarks<QCoreApplication>(argc, argv);
}
