#include "Gallery.h"

#include "SettingsHarness.h"
#include "actions/AskInputView.h"
#include "actions/AskInputWindowController.h"
#include "actions/BusyHUDView.h"
#include "actions/ResultView.h"
#include "actions/ResultWindowController.h"
#include "platform/fake/FakePointerGrab.h"
#include "platform/fake/FakeScreenBackdrop.h"
#include "ring/RingPanel.h"
#include "ring/RingWindowController.h"

#include <QGuiApplication>
#include <QScreen>

using namespace vima;

namespace {

// The first launch's ring at rest, as the hotkey opens it.
void drawRing(test::SettingsHarness &harness)
{
    FakePointerGrab pointer;
    FakeScreenBackdrop backdrop;
    RingWindowController controller(harness.store(),
                                     RingWindowServices{harness.haptics, harness.beep, harness.keyboard, pointer,
                                                        backdrop, harness.catalog, harness.fixture.scheduler});
    controller.show(std::nullopt, true, QPointF(400, 300));
    harness.fixture.scheduler.advance(1);
    if (RingPanel *panel = controller.panel())
        gallery::save(*panel, QStringLiteral("ring"));
    controller.hide();
    harness.fixture.scheduler.advance(1);

    // Summoned at the screen's right edge, a long title hovered on the right.
    const qint64 slot = 2;
    const QString title = QStringLiteral("Translate into Brazilian Portuguese, formal register");
    harness.store().edit([&](VimaConfig &config) {
        for (RingItem &item : config.rings.first().items)
            if (item.slot == slot)
                item.title = title;
    });
    controller.show(std::nullopt, true, QPointF(QGuiApplication::primaryScreen()->geometry().right(), 300));
    controller.viewModel().setHoveredSlot(int(slot));
    harness.fixture.scheduler.advance(1);
    gallery::saveScreen(QStringLiteral("ring-long-title-at-the-edge"));
    controller.hide();
}

// An answer, a failure with its recovery hint (and one quoting a long word
// under a long title), and the busy indicator.
void drawResults(test::SettingsHarness &harness)
{
    ResultWindowController controller(harness.fixture.scheduler);
    controller.pointerLocation = [] { return QPoint(400, 300); };
    ActionOutcome answer;
    answer.title = QStringLiteral("Summarise");
    answer.body = QStringLiteral("Three short lines\nthat say it all\nat once.");
    answer.replaceTarget = RunningApplication{77, QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor")};
    answer.isAI = true;
    controller.show(answer);
    gallery::save(*controller.resultPanel(), QStringLiteral("result-answer"));
    ActionOutcome failure;
    failure.title = QStringLiteral("Fix Grammar");
    failure.body = QStringLiteral("No text is selected.");
    failure.style = ActionOutcome::Style::failure;
    failure.recovery = QStringLiteral("Select some text, then try again.");
    controller.show(failure);
    gallery::save(*controller.resultPanel(), QStringLiteral("result-failure"));
    failure.title = QStringLiteral("Open the release notes for the version that was installed last");
    failure.body = QStringLiteral("Couldn't open https://example.com/") + QString(90, u'x');
    failure.recovery = QStringLiteral("Check the address, then try again.");
    controller.show(failure);
    gallery::save(*controller.resultPanel(), QStringLiteral("result-failure-long-word"));
    controller.showBusy(QStringLiteral("Summarise…"));
    gallery::save(*controller.hudPanel(), QStringLiteral("busy"));
    controller.hideBusy();
}

void drawAskInput()
{
    AskInputWindowController controller;
    controller.pointerLocation = [] { return QPoint(400, 300); };
    auto asking = controller.ask(QStringLiteral("Translate into which language?"));
    if (AskInputView *panel = controller.panel())
        gallery::save(*panel, QStringLiteral("ask-input"));
    controller.finish(std::nullopt);
}

void drawPanels()
{
    test::SettingsHarness harness;
    harness.fixture.open();
    drawRing(harness);
    drawResults(harness);
    drawAskInput();
}

const gallery::Pictures pictures("panels", drawPanels);

} // namespace
