#pragma once

#include "settings/SettingsTab.h"

#include <QWidget>

class QTabWidget;

namespace vima {

class SettingsBanner;
class SettingsWindowModel;
struct SettingsContext;

// "Tavelon Settings": the banner above the tabs, one page per tab. The
// Items page is built anew each time its tab is shown, so that tab starts
// with nothing selected.
class SettingsWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize defaultSize{880, 620};
    static constexpr QSize smallestSize{760, 520};

    SettingsWindow(SettingsWindowModel &model, SettingsContext &context, QWidget *parent = nullptr);

    QTabWidget *tabs() const { return tabs_; }
    SettingsBanner *banner() const { return banner_; }
    // The tab's page, built now when its tab has not shown yet.
    QWidget *page(SettingsTab tab);

    // Centred on the screen under the pointer, then where the user last left it.
    void placeFirstTime();
    void rememberGeometry();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showBanner();
    // Builds the current tab's page the first time it shows, the Items page
    // each time, so that tab starts with nothing selected.
    void showCurrentPage();
    void paintTabIcons();

    SettingsWindowModel &model_;
    SettingsContext &context_;
    SettingsBanner *banner_;
    QTabWidget *tabs_;
};

} // namespace vima
