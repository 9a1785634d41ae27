#pragma once

#include "settings/SettingsTab.h"

class QWidget;

namespace vima {

struct SettingsContext;

// The page of a tab, built for the window. Each tab's own folder provides
// its page; the Items page is built again each time its tab is shown.
QWidget *makeSettingsPage(SettingsTab tab, SettingsContext &context);

} // namespace vima
