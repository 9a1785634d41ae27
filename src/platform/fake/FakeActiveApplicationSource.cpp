#include "platform/fake/FakeActiveApplicationSource.h"

namespace vima {

void FakeActiveApplicationSource::activate(const std::optional<RunningApplication> &app)
{
    if (app)
        frontmost = app;
    if (onActivated)
        onActivated(app);
}

} // namespace vima
