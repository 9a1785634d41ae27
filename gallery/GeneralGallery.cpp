#include "Gallery.h"

#include "SettingsHarness.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"
#include "settings/general/GeneralSettingsView.h"
#include "settings/general/HotkeyRecorderView.h"
#include "settings/kit/ReplaceDefaultRing.h"
#include "settings/kit/SegmentedControl.h"
#include "ui/QtUiPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

using namespace vima;

namespace {

// The sample: the first launch's rings, an app ring of a named application
// and one without a name, the long right-click on without the grant.
VimaConfig sampleConfiguration()
{
    VimaConfig config = ConfigStore::makeDefaultConfig();
    config.rings.append(test::ring(QStringLiteral("Terminal"), {test::shellItem(0)}, false,
                                   QStringLiteral("org.gnome.Terminal")));
    config.rings.append(test::ring(QString(), {}, false, QStringLiteral("org.example.Unnamed")));
    config.pointerTrigger.enabled = true;
    return config;
}

QMessageBox *shownMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

void letTheRefusalFadeIn()
{
    QElapsedTimer fading;
    fading.start();
    while (fading.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The whole tab, tall enough that nothing scrolls.
void drawGeneralPage(SettingsContext &context)
{
    GeneralSettingsView view(context);
    view.resize(880, 1420);
    gallery::save(view, QStringLiteral("settings-general"));
}

void drawRecorder(test::SettingsHarness &harness)
{
    HotkeyRecorderView recorder(harness.context());
    recorder.resize(520, 90);
    recorder.recorderButton()->click();
    gallery::save(recorder, QStringLiteral("settings-hotkey-recording"));
    QKeyEvent bareKey(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
    QApplication::sendEvent(recorder.recorderButton(), &bareKey);
    letTheRefusalFadeIn();
    gallery::save(recorder, QStringLiteral("settings-hotkey-refusing"));
}

// The window at its smallest, refusing a key pressed alone (F13).
void drawRefusalInWindow(test::SettingsHarness &harness)
{
    SettingsWindowController controller(harness.context());
    controller.show(SettingsTab::general);
    SettingsWindow &window = *controller.window();
    window.resize(window.minimumSize());
    auto *recorder = window.findChild<HotkeyRecorderView *>();
    recorder->recorderButton()->click();
    QKeyEvent f13(QEvent::KeyPress, Qt::Key_F13, Qt::NoModifier);
    QApplication::sendEvent(recorder->recorderButton(), &f13);
    letTheRefusalFadeIn();
    gallery::save(window, QStringLiteral("settings-window-refusing"));
}

// A segmented control with the keyboard on a segment that is not the chosen one.
void drawSegmentFocus()
{
    SegmentedControl control({QStringLiteral("Auto"), QStringLiteral("Light"), QStringLiteral("Dark")});
    control.setCurrentIndex(0);
    control.resize(320, control.sizeHint().height());
    control.show();
    QApplication::setActiveWindow(&control);
    control.findChildren<QAbstractButton *>().at(1)->setFocus(Qt::TabFocusReason);
    gallery::save(control, QStringLiteral("segmented-focus"));
}

// The window over a file it could not read, on the General tab.
void drawBanner()
{
    test::SettingsHarness harness;
    harness.fixture.writeConfig(QByteArray("{\"version\": 1, \"rings\": ["));
    harness.fixture.open();
    SettingsWindowController controller(harness.context());
    controller.show(SettingsTab::general);
    gallery::save(*controller.window(), QStringLiteral("settings-window-banner"));
}

// Both confirmations of the tab, as the real prompts show them.
void drawAlerts(test::SettingsHarness &harness)
{
    QtUiPrompts prompts(harness.beep);
    QWidget window;
    window.resize(880, 620);
    window.show();
    [[maybe_unused]] auto replace = confirmReplaceDefaultRing(prompts, &window, harness.store(),
                                                              RingTemplate::all().constLast());
    if (QMessageBox *box = shownMessageBox()) {
        gallery::save(*box, QStringLiteral("settings-replace-alert"));
        box->reject();
    }
    SettingsContext &fakes = harness.context();
    SettingsContext context{fakes.store,         fakes.permissions,   fakes.loginItem, fakes.llm,
                            fakes.keychain,      fakes.shortcuts,     fakes.keyEventCodes, fakes.keyboard,
                            fakes.notifications, prompts,             fakes.hotkeyFailure, fakes.settings,
                            fakes.scheduler,     fakes.catalog,       fakes.appIcons,  fakes.haptics,
                            fakes.beep,          fakes.sharedCatalog};
    GeneralSettingsModel model(context);
    [[maybe_unused]] auto reset = model.confirmReset(&window);
    if (QMessageBox *box = shownMessageBox()) {
        gallery::save(*box, QStringLiteral("settings-reset-alert"));
        box->reject();
    }
}

void drawGeneral()
{
    test::SettingsHarness harness;
    harness.fixture.open(sampleConfiguration());
    drawGeneralPage(harness.context());
    drawRecorder(harness);
    drawRefusalInWindow(harness);
    drawSegmentFocus();
    drawBanner();
    drawAlerts(harness);
}

const gallery::Pictures pictures("general", drawGeneral);

} // namespace
