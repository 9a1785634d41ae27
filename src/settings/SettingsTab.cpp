#include "settings/SettingsTab.h"

namespace vima {

QList<SettingsTab> allSettingsTabs()
{
    return {SettingsTab::items, SettingsTab::general, SettingsTab::ai, SettingsTab::permissions};
}

QString rawValue(SettingsTab tab)
{
    switch (tab) {
    case SettingsTab::items: return QStringLiteral("items");
    case SettingsTab::general: return QStringLiteral("general");
    case SettingsTab::ai: return QStringLiteral("ai");
    case SettingsTab::permissions: return QStringLiteral("permissions");
    }
    Q_UNREACHABLE();
}

QString title(SettingsTab tab)
{
    switch (tab) {
    case SettingsTab::items: return QStringLiteral("Items");
    case SettingsTab::general: return QStringLiteral("General");
    case SettingsTab::ai: return QStringLiteral("AI");
    case SettingsTab::permissions: return QStringLiteral("Permissions");
    }
    Q_UNREACHABLE();
}

std::optional<SettingsTab> settingsTabFromRawValue(const QString &raw)
{
    for (SettingsTab tab : allSettingsTabs()) {
        if (rawValue(tab) == raw)
            return tab;
    }
    return std::nullopt;
}

} // namespace vima
