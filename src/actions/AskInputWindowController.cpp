#include "actions/AskInputWindowController.h"

#include "actions/AskInputView.h"
#include "ui/PlaceNearPointer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QScopeGuard>
#include <coroutine>

namespace vima {

// One question's answer and the coroutine waiting for it.
struct AskInputWindowController::Pending {
    bool answered = false;
    std::optional<QString> answer;
    std::coroutine_handle<> waiter;
};

// Suspends until the question is answered.
class AskInputWindowController::Answer {
public:
    explicit Answer(std::shared_ptr<Pending> pending) : pending_(std::move(pending)) {}

    bool await_ready() const noexcept { return pending_->answered; }
    void await_suspend(std::coroutine_handle<> waiter) noexcept { pending_->waiter = waiter; }
    std::optional<QString> await_resume() const { return pending_->answer; }

private:
    std::shared_ptr<Pending> pending_;
};

AskInputWindowController::AskInputWindowController(QObject *parent)
    : QObject(parent), pointerLocation([] { return QCursor::pos(); })
{
}

AskInputView *AskInputWindowController::panel() const { return panel_; }

AskInputWindowController::~AskInputWindowController()
{
    finish(std::nullopt);
}

QCoro::Task<std::optional<QString>> AskInputWindowController::ask(QString question, CancellationToken token)
{
    finish(std::nullopt);
    auto pending = std::make_shared<Pending>();
    pending_ = pending;
    present(question);

    // Cancellation may come from anywhere: finish on this object's thread, and
    // only this question, not one that has taken its place since.
    QPointer<AskInputWindowController> self(this);
    const std::weak_ptr<Pending> which = pending;
    const auto registration = token.onCancel([self, which] {
        if (!self)
            return;
        QMetaObject::invokeMethod(
            self.data(), [self, which] { if (self) self->finishIfWaiting(which); }, Qt::QueuedConnection);
    });
    if (token.isCancelled())
        finish(std::nullopt);

    // A waiter destroyed while suspended must never be resumed.
    const auto forget = qScopeGuard([&pending] { pending->waiter = {}; });
    std::optional<QString> answer = co_await Answer(pending);
    token.removeCallback(registration);
    co_return answer;
}

void AskInputWindowController::finish(std::optional<QString> answer)
{
    if (!pending_)
        return;
    const std::shared_ptr<Pending> pending = std::exchange(pending_, nullptr);
    closePanel();
    pending->answered = true;
    pending->answer = std::move(answer);
    if (!pending->waiter)
        return; // answered before the asker suspended
    // Resume from the event loop: the answer may come from inside another ask
    // (a newer question), which must not run the old asker's code.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [pending] {
            if (const auto waiter = std::exchange(pending->waiter, {}))
                waiter.resume();
        },
        Qt::QueuedConnection);
}

void AskInputWindowController::finishIfWaiting(const std::weak_ptr<Pending> &which)
{
    if (pending_ && pending_ == which.lock())
        finish(std::nullopt);
}

void AskInputWindowController::present(const QString &question)
{
    auto *view = new AskInputView(question);
    connect(view, &AskInputView::submitted, this, [this](const QString &text) { finish(text); });
    connect(view, &AskInputView::cancelled, this, [this] { finish(std::nullopt); });
    connect(view, &AskInputView::closing, this, [this] { finish(std::nullopt); });
    placeNearPointer(view, pointerLocation(), 0);
    view->show();
    view->raise();
    view->activateWindow();
    panel_ = view;
}

void AskInputWindowController::closePanel()
{
    if (!panel_)
        return;
    // Disconnect first so that its own closing does not answer again.
    panel_->disconnect(this);
    panel_->hide();
    panel_->deleteLater();
    panel_ = nullptr;
}

} // namespace vima
