#include "app/MenuBarController.h"

#include "app/AppEnvironment.h"
#include "ui/SymbolCatalog.h"
#include "services/HotkeyManager.h"
#include "services/LoginItemService.h"
#include "services/PermissionsService.h"
#include "services/UpdateService.h"
#include "store/ConfigStore.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

namespace vima {

namespace {

QIcon symbolIcon(const QString &name, const QColor &ink)
{
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48})
        icon.addPixmap(QPixmap::fromImage(SymbolCatalog::image(name, side, ink, SymbolCatalog::Weight::regular)));
    return icon;
}

// A white glyph on a dark disc: panels may be light or dark, and Linux does
// not say which.
QIcon trayIcon()
{
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48}) {
        QPixmap picture(side, side);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1c, 0x1c, 0x1e));
        painter.drawEllipse(QRectF(0.5, 0.5, side - 1, side - 1));
        const int glyph = side * 2 / 3;
        const int inset = (side - glyph) / 2;
        painter.drawImage(QPoint(inset, inset), SymbolCatalog::image(QStringLiteral("circle.hexagongrid.circle"), glyph,
                                                                     Qt::white, SymbolCatalog::Weight::semibold));
        icon.addPixmap(picture);
    }
    return icon;
}

MenuBarController::Row separator() { return {}; }

MenuBarController::Row item(const QString &title, MenuBarController::Command command,
                            const QString &symbol = {}, const QString &shortcut = {})
{
    MenuBarController::Row row;
    row.title = title;
    row.command = command;
    row.symbol = symbol;
    row.shortcut = shortcut;
    return row;
}

} // namespace

MenuBarController::MenuBarController(AppEnvironment &environment, std::function<void()> openSettings,
                                     QObject *parent)
    : QObject(parent)
    , environment_(environment)
    , openSettings_(std::move(openSettings))
    , menu_(std::make_unique<QMenu>())
{
    connect(menu_.get(), &QMenu::aboutToShow, this, &MenuBarController::rebuildMenu);
    rebuildMenu(); // some trays read the menu before it first opens
    statusItem_ = std::make_unique<QSystemTrayIcon>();
    statusItem_->setIcon(trayIcon());
    statusItem_->setToolTip(QStringLiteral("Tavelon"));
    statusItem_->setContextMenu(menu_.get());
    // A left click opens the same menu; the tray opens it on a right click itself.
    connect(statusItem_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            menu_->popup(QCursor::pos());
    });
    statusItem_->show();
}

MenuBarController::~MenuBarController() = default;

bool MenuBarController::isTrayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

QList<MenuBarController::Row> MenuBarController::rows() const
{
    const HotkeySpec hotkey = environment_.configStore().config().hotkey;
    const QString hotkeyText = HotkeyManager::displayName(hotkey.keyCode, hotkey.modifierFlags);
    QList<Row> rows;

    Row openRing = item(QStringLiteral("Open Ring"), Command::openRing);
    if (hotkey.isUsable())
        openRing.toolTip = QStringLiteral("Or press ") + hotkeyText;
    rows << openRing << separator();

    if (!environment_.permissions().isAccessibilityTrusted()) {
        rows << item(QStringLiteral("AI actions need an X11 session with XTest"), Command::openPermissions,
                     QStringLiteral("exclamationmark.triangle.fill"))
             << separator();
    }
    if (environment_.hotkeyRegistrationFailed()) {
        rows << item(QStringLiteral("Hotkey ") + hotkeyText + QStringLiteral(" is unavailable"),
                     Command::openSettings, QStringLiteral("keyboard.badge.exclamationmark"))
             << separator();
    }

    LoginItemService &loginItem = environment_.loginItem();
    loginItem.refresh();
    Row launchAtLogin = item(QStringLiteral("Launch at Login"), Command::toggleLaunchAtLogin);
    launchAtLogin.checked = loginItem.isEnabled();
    rows << launchAtLogin << separator();

    rows << item(QStringLiteral("Settings…"), Command::openSettings, {}, QStringLiteral("Ctrl+,"));
    Row updates = item(QStringLiteral("Check for Updates…"), Command::checkForUpdates);
    const UpdateService &updateService = environment_.updates();
    updates.toolTip = updateService.unavailableReason().value_or(QString());
    updates.enabled = updateService.canCheckForUpdates();
    rows << updates << separator();
    rows << item(QStringLiteral("Quit Tavelon"), Command::quit, {}, QStringLiteral("Ctrl+Q"));
    return rows;
}

void MenuBarController::rebuildMenu()
{
    menu_->clear();
    menu_->setToolTipsVisible(true);
    const QColor ink = QApplication::palette().color(QPalette::WindowText);
    for (const Row &row : rows()) {
        if (row.isSeparator()) {
            menu_->addSeparator();
            continue;
        }
        QAction *action = menu_->addAction(row.title);
        if (!row.symbol.isEmpty())
            action->setIcon(symbolIcon(row.symbol, ink));
        if (!row.shortcut.isEmpty())
            action->setShortcut(QKeySequence(row.shortcut));
        action->setToolTip(row.toolTip);
        action->setEnabled(row.enabled);
        if (row.checked) {
            action->setCheckable(true);
            action->setChecked(*row.checked);
        }
        const Command command = *row.command;
        connect(action, &QAction::triggered, this, [this, command] { perform(command); });
    }
}

void MenuBarController::perform(Command command)
{
    switch (command) {
    case Command::openRing: handleOpenRing(); break;
    case Command::openPermissions: environment_.openPermissions(); break;
    case Command::openSettings: openSettings_(); break;
    case Command::toggleLaunchAtLogin: handleToggleLaunchAtLogin(); break;
    case Command::checkForUpdates: environment_.updates().checkForUpdates(); break;
    case Command::quit: QCoreApplication::quit(); break;
    }
}

void MenuBarController::handleOpenRing()
{
    // On the next turn: the menu is still closing now.
    QTimer::singleShot(0, &environment_, [&environment = environment_] { environment.toggleRing(false); });
}

void MenuBarController::handleToggleLaunchAtLogin()
{
    LoginItemService &loginItem = environment_.loginItem();
    loginItem.setEnabled(!loginItem.isEnabled());
}

} // namespace vima
