#include "settings/SettingsPages.h"

#include "settings/ai/AISettingsPage.h"
#include "settings/general/GeneralSettingsView.h"
#include "settings/items/ItemsSettingsView.h"
#include "settings/permissions/PermissionsPage.h"

namespace vima {

QWidget *makeSettingsPage(SettingsTab tab, SettingsContext &context)
{
    switch (tab) {
    case SettingsTab::general: return new GeneralSettingsView(context);
    case SettingsTab::items: return new ItemsSettingsView(context);
    case SettingsTab::ai: return new AISettingsPage(context);
    case SettingsTab::permissions: return new PermissionsPage(context);
    }
    Q_UNREACHABLE();
}

} // namespace vima
