#include "settings/SettingsPages.h"

#include "settings/ai/AISettingsPage.h"
#include "settings/general/GeneralSettingsView.h"
#include "settings/permissions/PermissionsPage.h"

#include <QLabel>

namespace vima {

namespace {

// The slot of a tab whose page is not built yet.
QWidget *pendingPage(SettingsTab tab)
{
    auto *page = new QLabel;
    page->setObjectName(rawValue(tab) + QStringLiteral("Pending"));
    page->setAlignment(Qt::AlignCenter);
    page->setAccessibleName(title(tab));
    return page;
}

} // namespace

QWidget *makeSettingsPage(SettingsTab tab, SettingsContext &context)
{
    switch (tab) {
    case SettingsTab::general: return new GeneralSettingsView(context);
    case SettingsTab::items: return pendingPage(tab);
    case SettingsTab::ai: return new AISettingsPage(context);
    case SettingsTab::permissions: return new PermissionsPage(context);
    }
    Q_UNREACHABLE();
}

} // namespace vima
