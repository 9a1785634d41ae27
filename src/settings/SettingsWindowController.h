#pragma once

#include "settings/SettingsTab.h"
#include "settings/SettingsWindow.h"

#include <QPointer>
#include <memory>
#include <optional>

namespace vima {

class SettingsWindowModel;
struct SettingsContext;

// Owns the settings window, built on the first show and kept after: closing
// only hides it, so the next show brings back the same window and state.
class SettingsWindowController final {
public:
    explicit SettingsWindowController(SettingsContext &context);
    ~SettingsWindowController();

    // Without a window: builds it on the tab (Items when none). With one: for
    // a given tab, posts "com.vima.Vima.selectSettingsTab". Then brings it forward.
    void show(std::optional<SettingsTab> tab = std::nullopt);

    SettingsWindow *window() const { return window_; }
    SettingsWindowModel *model() const { return model_.get(); }

private:
    SettingsContext &context_;
    std::unique_ptr<SettingsWindowModel> model_;
    QPointer<SettingsWindow> window_;
};

} // namespace vima
