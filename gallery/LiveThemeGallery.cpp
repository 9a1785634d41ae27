#include "Gallery.h"

#include "SettingsHarness.h"
#include "app/Theme.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"
#include "ui/Palette.h"

#include <QTabWidget>

using namespace vima;

namespace {

// One settings window, built in the light theme, through a live switch to
// dark and back: "live-<tab>-<step>-<theme>.png". Every page must read as
// well as one built in that theme.
void drawLiveSwitch()
{
    if (Palette::isDark())
        return; // drawn once, from the light pass: the switch is the point
    test::SettingsHarness harness;
    VimaConfig config = ConfigStore::makeDefaultConfig();
    config.rings.append(test::ring(QStringLiteral("Terminal"), {test::shellItem(0)}, false,
                                   QStringLiteral("org.gnome.Terminal")));
    harness.fixture.open(config);
    SettingsWindowController controller(harness.context());
    controller.show(SettingsTab::items);
    QTabWidget *tabs = controller.window()->tabs();
    const std::pair<AppTheme, const char *> steps[] = {
        {AppTheme::light, "1"}, {AppTheme::dark, "2"}, {AppTheme::light, "3"}};
    for (const auto &[theme, step] : steps) {
        // The Items page is built anew when its tab shows: it is on screen as
        // the theme switches, so it goes through the switch too.
        tabs->setCurrentIndex(int(SettingsTab::items));
        applyTheme(theme);
        const QString themeName = Palette::isDark() ? QStringLiteral("dark") : QStringLiteral("light");
        for (const SettingsTab tab : allSettingsTabs()) {
            tabs->setCurrentIndex(int(tab));
            gallery::save(*controller.window(), QStringLiteral("live-%1-%2").arg(rawValue(tab), QLatin1String(step)),
                          themeName);
        }
    }
}

const gallery::Pictures pictures("live", drawLiveSwitch);

} // namespace
