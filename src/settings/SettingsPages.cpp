#include "settings/SettingsPages.h"

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

QWidget *makeSettingsPage(SettingsTab tab, SettingsContext &)
{
    switch (tab) {
    case SettingsTab::general:
    case SettingsTab::items:
    case SettingsTab::ai:
    case SettingsTab::permissions: return pendingPage(tab);
    }
    Q_UNREACHABLE();
}

} // namespace vima
