#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace vima {

// The settings window's tabs, in their order.
enum class SettingsTab { items, general, ai, permissions };

QList<SettingsTab> allSettingsTabs();
QString rawValue(SettingsTab tab);
QString title(SettingsTab tab);
// "items", "general", "ai" and "permissions" name a tab; any other text none.
std::optional<SettingsTab> settingsTabFromRawValue(const QString &raw);

} // namespace vima
