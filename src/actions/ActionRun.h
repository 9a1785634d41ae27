#pragma once

#include "actions/ActionOutcome.h"
#include "async/CancellationToken.h"

#include <QPointer>
#include <QString>
#include <optional>

namespace vima {

class ActionRunner;

// One run of an item, as the roads of the runner see it. Only the run in
// flight may show a busy text or present an outcome: once a newer run started,
// or this one was cancelled, both are quietly dropped.
class ActionRun {
public:
    ActionRun(ActionRunner *runner, quint64 id, CancellationToken token);

    const CancellationToken &token() const { return token_; }
    bool isCurrent() const;

    void setBusy(const std::optional<QString> &text) const;
    void present(const ActionOutcome &outcome) const;

private:
    QPointer<ActionRunner> runner_;
    quint64 id_;
    CancellationToken token_;
};

// Shows a busy text for as long as it lives, and clears it on every exit.
class BusyText {
public:
    BusyText(const ActionRun &run, const QString &text);
    ~BusyText();
    BusyText(const BusyText &) = delete;
    BusyText &operator=(const BusyText &) = delete;

private:
    const ActionRun &run_;
};

} // namespace vima
