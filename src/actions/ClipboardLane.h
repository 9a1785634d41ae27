#pragma once

#include "async/CancellationToken.h"
#include "async/Scheduler.h"

#include <QCoroTask>
#include <utility>

namespace vima {

// One clipboard, one action at a time: every step that takes the clipboard
// (the copy fallback, a paste, and the restore that ends each) holds the lane,
// so a restore can never save another action's answer as the user's clipboard.
class ClipboardLane {
public:
    // Held while the clipboard is taken; lets go when it is destroyed.
    class Hold {
    public:
        Hold() = default;
        Hold(Hold &&other) noexcept : lane_(std::exchange(other.lane_, nullptr)) {}
        Hold &operator=(Hold &&other) noexcept;
        ~Hold();

    private:
        friend class ClipboardLane;
        explicit Hold(ClipboardLane *lane) : lane_(lane) {}
        ClipboardLane *lane_ = nullptr;
    };

    // Longer than any one step holds the lane, a clipboard owner that never
    // answers included.
    static constexpr double waitLimit = 5.0;

    explicit ClipboardLane(Scheduler &scheduler = Scheduler::system()) : scheduler_(scheduler) {}

    // Waits until the lane is free. Throws PlatformError when it stays taken
    // past `waitLimit`, Cancelled when the token is cancelled meanwhile.
    QCoro::Task<Hold> take(CancellationToken token);
    bool isTaken() const { return taken_; }

private:
    Scheduler &scheduler_;
    bool taken_ = false;
};

} // namespace vima
