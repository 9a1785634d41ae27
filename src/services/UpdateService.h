#pragma once

#include "platform/Updater.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace vima {

// Where updates come from and the key they are signed with; fixed when the
// build is configured (VIMA_UPDATE_FEED_URL, VIMA_UPDATE_PUBLIC_KEY).
struct UpdateConfiguration {
    std::optional<QString> feedURL;
    std::optional<QString> publicEDKey; // Base64 of a 32-byte public key

    static UpdateConfiguration fromBuild();
};

// Decides once whether this build can update itself, and starts the updater
// when it can; otherwise keeps the reason the menu shows instead.
class UpdateService {
public:
    using UpdaterFactory = std::function<std::unique_ptr<Updater>()>;

    // Without a factory (no updater ships for this system) a usable
    // configuration still leaves updates unavailable.
    explicit UpdateService(const UpdateConfiguration &configuration = UpdateConfiguration::fromBuild(),
                           const UpdaterFactory &makeUpdater = {});

    static std::optional<QString> validateConfiguration(const UpdateConfiguration &configuration);

    Updater *controller() const { return controller_.get(); }
    const std::optional<QString> &unavailableReason() const { return unavailableReason_; }

    bool canCheckForUpdates() const;
    // The menu's "Check for Updates…"; nothing without an updater.
    void checkForUpdates();

private:
    std::unique_ptr<Updater> controller_;
    std::optional<QString> unavailableReason_;
};

} // namespace vima
