#include "actions/ClipboardLane.h"

#include "async/Sleep.h"
#include "platform/PlatformError.h"

namespace vima {
namespace {

constexpr double poll = 0.02;

} // namespace

ClipboardLane::Hold &ClipboardLane::Hold::operator=(Hold &&other) noexcept
{
    if (this != &other) {
        if (lane_)
            lane_->taken_ = false;
        lane_ = std::exchange(other.lane_, nullptr);
    }
    return *this;
}

ClipboardLane::Hold::~Hold()
{
    if (lane_)
        lane_->taken_ = false;
}

QCoro::Task<ClipboardLane::Hold> ClipboardLane::take(CancellationToken token)
{
    const double deadline = scheduler_.now() + waitLimit;
    while (taken_) {
        if (scheduler_.now() >= deadline)
            throw PlatformError(QStringLiteral("Another action is still using the clipboard, so Tavelon left it "
                                               "alone."));
        co_await sleep(poll, token, scheduler_);
    }
    token.throwIfCancelled();
    taken_ = true;
    co_return Hold(this);
}

} // namespace vima
