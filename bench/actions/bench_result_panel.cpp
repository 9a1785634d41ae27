// The result panel from show() to its first frame drawn, for a 1 MB answer on
// one line against the same 1 MB in short lines and a short answer.
// Run by hand: QT_QPA_PLATFORM=offscreen build/default/bench/actions/bench_result_panel [runs]
#include "actions/ResultWindowController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vima;

namespace {

double showOnce(ResultWindowController &results, const QString &body)
{
    ActionOutcome outcome;
    outcome.title = QStringLiteral("Explain");
    outcome.body = body;
    outcome.style = ActionOutcome::Style::success;
    QElapsedTimer clock;
    clock.start();
    results.show(outcome);
    QCoreApplication::processEvents();
    // Everything the first frame lays out and draws.
    const QPixmap frame = results.resultPanel()->grab();
    const double ms = clock.nsecsElapsed() / 1e6;
    return frame.isNull() ? -1 : ms;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    ResultWindowController results;
    results.pointerLocation = [] { return QPoint(400, 300); };
    const qsizetype mb = 1024 * 1024;
    const std::pair<const char *, QString> bodies[] = {
        {"1 MB on one line", QString(mb, u'a')},
        {"1 MB of words on one line", QStringLiteral("word ").repeated(mb / 5)},
        {"1 MB in 64-character lines", QString(63, u'a').append(u'\n').repeated(mb / 64)},
        {"a short answer", QStringLiteral("A swift auburn fox.")},
    };
    std::printf("result panel, show() to the first frame drawn, %d runs\n", runs);
    for (const auto &[name, body] : bodies) {
        std::vector<double> ms;
        for (int run = 0; run < runs; ++run)
            ms.push_back(showOnce(results, body));
        std::sort(ms.begin(), ms.end());
        std::printf("  %-28s median %9.1f ms   max %9.1f ms\n", name, ms[ms.size() / 2], ms.back());
    }
    return 0;
}
