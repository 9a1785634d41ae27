#include "actions/ActionRun.h"

#include "actions/ActionRunner.h"

namespace vima {

ActionRun::ActionRun(ActionRunner *runner, quint64 id, CancellationToken token)
    : runner_(runner), id_(id), token_(std::move(token))
{
}

bool ActionRun::isCurrent() const { return runner_ && runner_->isCurrent(id_, token_); }

void ActionRun::setBusy(const std::optional<QString> &text) const
{
    if (isCurrent())
        runner_->setBusyMessage(text);
}

void ActionRun::present(const ActionOutcome &outcome) const
{
    if (isCurrent() && runner_->present)
        runner_->present(outcome);
}

BusyText::BusyText(const ActionRun &run, const QString &text) : run_(run) { run_.setBusy(text); }

BusyText::~BusyText() { run_.setBusy(std::nullopt); }

} // namespace vima
