#pragma once

#include "settings/SettingsTab.h"

#include <QPointer>
#include <QTabWidget>
#include <optional>

namespace vima {

class NotificationCenter;

// Owns the settings window, built on the first show. The tabs' contents come
// later; the window already switches tabs on "com.vima.Vima.selectSettingsTab".
class SettingsWindowController final {
public:
    explicit SettingsWindowController(NotificationCenter &notifications);
    ~SettingsWindowController();

    // Without a window: builds it and shows the tab (Items when none). With
    // one: brings it forward and, for a given tab, posts the tab switch.
    void show(std::optional<SettingsTab> tab = std::nullopt);

    QTabWidget *window() const { return window_; }

private:
    void buildWindow();
    void select(SettingsTab tab);

    NotificationCenter &notifications_;
    QPointer<QTabWidget> window_;
    quint64 observer_ = 0;
};

} // namespace vima
