#include "RingGestures.h"

#include "SupportProgram.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <cmath>

namespace ring_gestures {
namespace {

constexpr double slotRadius = 93; // between the inner (48) and outer (138) radius

} // namespace

int xdotool(const QStringList &arguments) { return SupportProgram::run(QStringLiteral("xdotool"), arguments); }

QPoint slotPoint(int slot, int count)
{
    const double angle = 2 * M_PI * slot / count;
    return QPointF(summonPoint.x() + std::sin(angle) * slotRadius, summonPoint.y() - std::cos(angle) * slotRadius)
        .toPoint();
}

void movePointer(QPoint to) { xdotool({QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y())}); }

void sweepTo(QPoint to)
{
    const QPointF from = summonPoint;
    for (int step = 1; step <= 4; ++step) {
        movePointer((from + (QPointF(to) - from) * step / 4.0).toPoint());
        QTest::qWait(20);
    }
}

void pressHotkey() { xdotool({QStringLiteral("keydown"), QStringLiteral("alt"), QStringLiteral("keydown"), QStringLiteral("space")}); }

void releaseHotkey() { xdotool({QStringLiteral("keyup"), QStringLiteral("space"), QStringLiteral("keyup"), QStringLiteral("alt")}); }

bool windowVisible(const QString &title)
{
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                    QLatin1Char('^') + title + QLatin1Char('$')})
           == 0;
}

bool ringVisible() { return windowVisible(QStringLiteral("Tavelon Ring")); }

qint64 activeWindowPid()
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"), QStringLiteral("getwindowpid")});
    if (!process.waitForFinished(5000) || process.exitCode() != 0)
        return -1;
    bool ok = false;
    const qint64 pid = process.readAllStandardOutput().trimmed().toLongLong(&ok);
    return ok ? pid : -1;
}

void saveScreenshot(const QString &name)
{
    const QString dir = qEnvironmentVariable("VIMA_BUILD_DIR") + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    QGuiApplication::primaryScreen()->grabWindow(0).save(dir + QLatin1Char('/') + name);
}

} // namespace ring_gestures
