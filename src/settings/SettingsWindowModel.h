#pragma once

#include "settings/SettingsTab.h"

#include <QObject>
#include <QString>
#include <optional>

namespace vima {

class ConfigStore;
class NotificationCenter;

// The settings window without its widgets: which tab shows, the banner text
// (the store's last load or save failure, else its notice), and what closing
// does.
class SettingsWindowModel final : public QObject {
    Q_OBJECT

public:
    static const QString selectTabNotification; // "com.vima.Vima.selectSettingsTab"

    SettingsWindowModel(ConfigStore &store, NotificationCenter &notifications, SettingsTab tab,
                        QObject *parent = nullptr);
    ~SettingsWindowModel() override;

    SettingsTab tab() const { return tab_; }
    void setTab(SettingsTab tab);
    std::optional<QString> bannerText() const;
    // Edits whose debounced save is pending reach the file now.
    void windowClosing();

Q_SIGNALS:
    void tabChanged(SettingsTab tab);
    void bannerTextChanged();

private:
    ConfigStore &store_;
    NotificationCenter &notifications_;
    SettingsTab tab_;
    quint64 observer_ = 0;
};

} // namespace vima
