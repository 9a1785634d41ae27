#include "platform/fake/FakePointerEventTap.h"

namespace vima {

bool FakePointerEventTap::install(Callback callback)
{
    ++installCalls;
    if (refuse)
        return false;
    callback_ = std::move(callback);
    return true;
}

void FakePointerEventTap::remove() { callback_ = nullptr; }

bool FakePointerEventTap::send(EventType type, QPointF location)
{
    pointer = location;
    return callback_ && callback_(type, location);
}

} // namespace vima
