#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QSystemTrayIcon;

namespace vima {

class AppEnvironment;

// The tray icon, the agent's permanent way in. Its menu is rebuilt each time
// it opens, so it always shows the live state.
class MenuBarController final : public QObject {
    Q_OBJECT

public:
    enum class Command { openRing, openPermissions, openSettings, toggleLaunchAtLogin, checkForUpdates, quit };

    // One row of the menu; a row without a title is a separator.
    struct Row {
        QString title;
        std::optional<Command> command;
        QString symbol;
        QString shortcut;
        QString toolTip;
        std::optional<bool> checked;
        bool enabled = true;

        bool isSeparator() const { return title.isEmpty(); }
    };

    MenuBarController(AppEnvironment &environment, std::function<void()> openSettings,
                      QObject *parent = nullptr);
    ~MenuBarController() override;

    // The rows as the menu shows them now (refreshes the login item first).
    QList<Row> rows() const;
    void perform(Command command);

    QMenu *menu() const { return menu_.get(); }
    QSystemTrayIcon *statusItem() const { return statusItem_.get(); }
    // False where the desktop has no tray: the agent still runs.
    bool isTrayAvailable() const;

private:
    void rebuildMenu();
    void handleOpenRing();
    void handleToggleLaunchAtLogin();

    AppEnvironment &environment_;
    std::function<void()> openSettings_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> statusItem_;
};

} // namespace vima
