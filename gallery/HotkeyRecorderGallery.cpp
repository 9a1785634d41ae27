#include "Gallery.h"

#include "SettingsHarness.h"
#include "platform/fake/FakeHotKeyRegistrar.h"
#include "services/HotkeyManager.h"
#include "settings/general/GeneralSettingsView.h"
#include "settings/general/HotkeyRecorderView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QThread>
#include <algorithm>

using namespace vima;

namespace {

void press(QWidget &view, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(&view, &event);
}

// Past the refusal's fade, so the picture shows it whole: the animation's
// timer ticks only while the event loop runs.
void letTheFadeEnd()
{
    for (int tick = 0; tick < 20; ++tick) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
}

// The hotkey control at rest with the taken-hotkey line, recording with Alt
// held, refusing F13 pressed alone, and back at rest after Escape.
void drawHotkeyRecorder()
{
    test::SettingsHarness harness;
    FakeHotKeyRegistrar registrar; // names keys for the labels
    HotkeyManager manager(registrar);
    harness.hotkeyFailure.setFailed(true);
    HotkeyRecorderView view(harness.context());
    view.resize(560, view.sizeHint().height() + 40);
    gallery::save(view, QStringLiteral("hotkey-recorder-unavailable"));

    view.model()->toggleRecording();
    press(view, Qt::Key_Alt, Qt::NoModifier);
    gallery::save(view, QStringLiteral("hotkey-recorder-recording"));

    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &altUp);
    press(view, Qt::Key_F13, Qt::NoModifier);
    letTheFadeEnd();
    if (view.model()->refusal().isEmpty())
        qWarning("The recorder took F13 alone: its refusing picture shows no refusal");
    // As a window gives it: the height it asks for with the refusal shown.
    view.resize(view.width(), std::max(view.minimumHeight(), view.heightForWidth(view.width())));
    gallery::save(view, QStringLiteral("hotkey-recorder-refusing"));

    press(view, Qt::Key_Escape, Qt::NoModifier);
    gallery::save(view, QStringLiteral("hotkey-recorder-refused"));
}

// The Summoning section on screen with a hotkey another program has
// grabbed, then refusing F13 pressed alone: the refusal above the warning,
// each whole.
void drawRefusalOverGrab()
{
    test::SettingsHarness harness;
    FakeHotKeyRegistrar registrar;
    HotkeyManager manager(registrar);
    harness.hotKeyProbe.heldElsewhere = {HotkeySpec{}};
    harness.hotkeyFailure.setFailed(true);
    GeneralSettingsView page(harness.context());
    page.resize(720, 300);
    page.show();
    // Active, as under the user's hand: nothing lays the page out again later.
    QApplication::setActiveWindow(&page);
    letTheFadeEnd();
    auto *recorder = page.findChild<HotkeyRecorderView *>();
    recorder->model()->toggleRecording();
    press(*recorder, Qt::Key_F13, Qt::NoModifier);
    letTheFadeEnd();
    gallery::save(page, QStringLiteral("hotkey-recorder-refusing-grabbed"));
}

void drawAll()
{
    drawHotkeyRecorder();
    drawRefusalOverGrab();
}

const gallery::Pictures pictures("hotkey-recorder", drawAll);

} // namespace
