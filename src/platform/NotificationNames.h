#pragma once

#include <QString>

// The names of the notifications posted on the NotificationCenter.
namespace vima::notifications {

// Opens the settings; the object may name a tab ("items", "general", "ai", "permissions").
inline const QString openSettings = QStringLiteral("com.vima.Vima.openSettings");
inline const QString showOnboarding = QStringLiteral("com.vima.Vima.showOnboarding");
// Chooses a tab of the open settings window; the object is the tab.
inline const QString selectSettingsTab = QStringLiteral("com.vima.Vima.selectSettingsTab");

} // namespace vima::notifications
