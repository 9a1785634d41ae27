#include "settings/SettingsWindowController.h"

#include "platform/NotificationCenter.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowModel.h"
#include "settings/kit/SettingsContext.h"
#include "ui/WindowCommands.h"

namespace vima {

SettingsWindowController::SettingsWindowController(SettingsContext &context) : context_(context) {}

SettingsWindowController::~SettingsWindowController()
{
    if (window_)
        window_->rememberGeometry();
    delete window_.data();
}

void SettingsWindowController::show(std::optional<SettingsTab> tab)
{
    if (!window_) {
        model_ = std::make_unique<SettingsWindowModel>(context_.store, context_.notifications,
                                                       tab.value_or(SettingsTab::items));
        window_ = new SettingsWindow(*model_, context_);
        window_->placeFirstTime();
    } else if (tab) {
        context_.notifications.post(SettingsWindowModel::selectTabNotification, rawValue(*tab));
    }
    bringToFront(window_);
}

} // namespace vima
