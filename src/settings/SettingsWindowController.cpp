#include "settings/SettingsWindowController.h"

#include "platform/NotificationCenter.h"

#include <QWidget>

namespace vima {

namespace {
const QString selectTabNotification = QStringLiteral("com.vima.Vima.selectSettingsTab");
}

SettingsWindowController::SettingsWindowController(NotificationCenter &notifications)
    : notifications_(notifications)
{
    observer_ = notifications_.observe(selectTabNotification, [this](const QVariant &object) {
        if (object.typeId() != QMetaType::QString)
            return;
        if (const auto tab = settingsTabFromRawValue(object.toString()))
            select(*tab);
    });
}

SettingsWindowController::~SettingsWindowController()
{
    notifications_.remove(observer_);
    delete window_.data();
}

void SettingsWindowController::show(std::optional<SettingsTab> tab)
{
    if (!window_) {
        buildWindow();
        select(tab.value_or(SettingsTab::items));
    } else if (tab) {
        notifications_.post(selectTabNotification, rawValue(*tab));
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void SettingsWindowController::buildWindow()
{
    window_ = new QTabWidget;
    window_->setWindowTitle(QStringLiteral("Tavelon Settings"));
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    window_->resize(760, 560);
    for (SettingsTab tab : allSettingsTabs()) {
        auto *page = new QWidget;
        page->setObjectName(rawValue(tab));
        window_->addTab(page, title(tab));
    }
}

void SettingsWindowController::select(SettingsTab tab)
{
    if (window_)
        window_->setCurrentIndex(static_cast<int>(tab));
}

} // namespace vima
