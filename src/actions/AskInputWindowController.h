#pragma once

#include "async/CancellationToken.h"

#include <QCoroTask>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

namespace vima {

class AskInputView;

// Asks the user one question at a time in a panel next to the pointer and
// waits for the answer without blocking the GUI thread.
class AskInputWindowController : public QObject {
    Q_OBJECT

public:
    explicit AskInputWindowController(QObject *parent = nullptr);
    ~AskInputWindowController() override;

    // The text as typed (possibly empty), or none when the user cancels, the
    // panel closes, a newer question takes its place or `token` is cancelled.
    // The caller always resumes from the event loop, never inside another ask.
    QCoro::Task<std::optional<QString>> ask(QString question, CancellationToken token = {});
    // Answers the waiting question, if any, and closes its panel.
    void finish(std::optional<QString> answer);

    AskInputView *panel() const;

    // Where the pointer is, in screen coordinates.
    std::function<QPoint()> pointerLocation;

private:
    struct Pending;
    class Answer;

    void present(const QString &question);
    void closePanel();
    void finishIfWaiting(const std::weak_ptr<Pending> &which);

    QPointer<AskInputView> panel_;
    std::shared_ptr<Pending> pending_;
};

} // namespace vima
