#include "RingGestures.h"

#include "AgentProcess.h"
#include "BuildFolder.h"
#include "SupportProgram.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <chrono>
#include <memory>
#include <thread>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

namespace ring_gestures {
namespace {

constexpr double slotRadius = 93; // between the inner (48) and outer (138) radius

} // namespace

int xdotool(const QStringList &arguments) { return SupportProgram::run(QStringLiteral("xdotool"), arguments); }

void xkeys(const QString &action, const QStringList &names)
{
    QStringList arguments;
    for (const QString &name : names)
        arguments << action << name;
    xdotool(arguments);
}

QPoint slotPoint(int slot, int count)
{
    const double angle = 2 * M_PI * slot / count;
    return QPointF(summonPoint.x() + std::sin(angle) * slotRadius, summonPoint.y() - std::cos(angle) * slotRadius)
        .toPoint();
}

void movePointer(QPoint to) { xdotool({QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y())}); }

void sweepTo(QPoint to, QPoint from)
{
    for (int step = 1; step <= 4; ++step) {
        movePointer((QPointF(from) + QPointF(to - from) * step / 4.0).toPoint());
        QTest::qWait(20);
    }
}

void tapHotkeyAndType(unsigned keysym, int gapMs)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    std::unique_ptr<xcb_key_symbols_t, void (*)(xcb_key_symbols_t *)> symbols(xcb_key_symbols_alloc(c),
                                                                              &xcb_key_symbols_free);
    const auto code = [&](xcb_keysym_t sym) {
        std::unique_ptr<xcb_keycode_t, void (*)(void *)> codes(xcb_key_symbols_get_keycode(symbols.get(), sym),
                                                               &std::free);
        return codes ? codes.get()[0] : xcb_keycode_t(0);
    };
    const xcb_keycode_t alt = code(0xffe9), space = code(0x20), typed = code(keysym);
    const std::pair<uint8_t, xcb_keycode_t> events[] = {{XCB_KEY_PRESS, alt},     {XCB_KEY_PRESS, space},
                                                        {XCB_KEY_RELEASE, space}, {XCB_KEY_RELEASE, alt},
                                                        {XCB_KEY_PRESS, typed},   {XCB_KEY_RELEASE, typed}};
    const auto sync = [c] { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); };
    for (int i = 0; i < 6; ++i) {
        if (i == 4 && gapMs > 0) {
            sync();
            std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
        }
        xcb_test_fake_input(c, events[i].first, events[i].second, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    sync();
    xcb_disconnect(c);
}

void pressHotkey() { xdotool({QStringLiteral("keydown"), QStringLiteral("alt"), QStringLiteral("keydown"), QStringLiteral("space")}); }

void releaseHotkey() { xdotool({QStringLiteral("keyup"), QStringLiteral("space"), QStringLiteral("keyup"), QStringLiteral("alt")}); }

bool chooseSlotByHotkey(int slot)
{
    movePointer(summonPoint);
    pressHotkey();
    if (!QTest::qWaitFor(ringVisible)) {
        releaseHotkey();
        return false;
    }
    QTest::qWait(300); // past the quick-tap threshold
    sweepTo(slotPoint(slot));
    QTest::qWait(100);
    releaseHotkey();
    return true;
}

bool windowVisible(const QString &title)
{
    const QStringList search{QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                             QLatin1Char('^') + title + QLatin1Char('$')};
    // xdotool exits 1 both when nothing matches and when a window vanished
    // during its search (Xlib's BadWindow): only the first is an answer.
    for (int attempt = 0; attempt < 5; ++attempt) {
        QByteArray errors;
        const int code = SupportProgram::run(QStringLiteral("xdotool"), search, &errors);
        if (!errors.contains("X Error"))
            return code == 0;
    }
    return false;
}

bool ringVisible() { return windowVisible(QStringLiteral("Tavelon Ring")); }

bool relaunchOpensSettings(AgentProcess &running, AgentProcess &opener)
{
    return opener.start() && running.waitForExit()
        && QTest::qWaitFor([] { return windowVisible(QStringLiteral("Tavelon Settings")); }, 5000);
}

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
    const QString dir = buildFolder() + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    QGuiApplication::primaryScreen()->grabWindow(0).save(dir + QLatin1Char('/') + name);
}

} // namespace ring_gestures
