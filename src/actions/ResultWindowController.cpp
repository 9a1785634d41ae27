#include "actions/ResultWindowController.h"

#include "actions/PanelText.h"
#include "model/Text.h"
#include "ui/PlaceNearPointer.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>

namespace vima {
namespace {

constexpr int busyOffset = -40;

void dispose(QWidget *panel)
{
    if (!panel)
        return;
    panel->hide();
    panel->deleteLater();
}

} // namespace

ResultWindowController::ResultWindowController(Scheduler &scheduler, QObject *parent)
    : QObject(parent), pointerLocation([] { return QCursor::pos(); }), scheduler_(scheduler)
{
}

ResultWindowController::~ResultWindowController()
{
    delete resultPanel_.data();
    delete hudPanel_.data();
}

void ResultWindowController::show(const ActionOutcome &outcome)
{
    hideBusy();
    closeResult();
    QPointer<ResultWindowController> self(this);
    ResultView::Actions actions{
        [body = outcome.body] { QGuiApplication::clipboard()->setText(body); },
        [self, outcome] {
            if (!self)
                return;
            self->closeResult();
            if (self->onReplace)
                self->onReplace(outcome);
        },
        [self] {
            if (self)
                self->closeResult();
        },
    };
    resultPanel_ = new ResultView(outcome, std::move(actions), scheduler_);
    placeNearPointer(resultPanel_, pointerLocation(), 0);
    resultPanel_->show();
    resultPanel_->raise();
    resultPanel_->activateWindow();
}

void ResultWindowController::showBusy(const QString &text)
{
    const QString message = Text::cut(text, PanelText::longestTitle);
    if (hudPanel_) {
        hudPanel_->setMessage(message);
        hudPanel_->adjustSize();
        return;
    }
    QPointer<ResultWindowController> self(this);
    hudPanel_ = new BusyHUDView(message, [self] {
        if (self && self->onCancelBusy)
            self->onCancelBusy();
    });
    hudPanel_->adjustSize();
    placeNearPointer(hudPanel_, pointerLocation(), busyOffset);
    hudPanel_->show();
    hudPanel_->raise();
}

void ResultWindowController::hideBusy()
{
    dispose(hudPanel_);
    hudPanel_ = nullptr;
}

void ResultWindowController::closeResult()
{
    dispose(resultPanel_);
    resultPanel_ = nullptr;
}

} // namespace vima

