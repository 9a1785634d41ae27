#pragma once

#include "platform/LoginItemRegistry.h"
#include "platform/PlatformError.h"

#include <QString>
#include <optional>

namespace vima {

// A login item in memory. `refusal` makes register and unregister fail.
class FakeLoginItemRegistry final : public LoginItemRegistry {
public:
    LoginItemStatus status() const override { return current; }
    void registerItem() override
    {
        ++registers;
        refuseIfAsked();
        current = LoginItemStatus::enabled;
    }
    void unregisterItem() override
    {
        ++unregisters;
        refuseIfAsked();
        current = LoginItemStatus::notRegistered;
    }

    LoginItemStatus current = LoginItemStatus::notRegistered;
    std::optional<QString> refusal;
    int registers = 0;
    int unregisters = 0;

private:
    void refuseIfAsked() const
    {
        if (refusal)
            throw PlatformError(*refusal);
    }
};

} // namespace vima
