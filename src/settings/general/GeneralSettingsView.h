#pragma once

#include "model/Settings.h"
#include "settings/general/GeneralSettingsModel.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

namespace vima {

class SettingsSection;
class StatusLine;
class ToneLabel;
struct SettingsContext;

// The General tab: one scrolling column of nine sections. Fields are bound
// straight into the configuration; the rest follows GeneralSettingsModel.
class GeneralSettingsView final : public QWidget {
    Q_OBJECT

public:
    explicit GeneralSettingsView(SettingsContext &context, QWidget *parent = nullptr);

    GeneralSettingsModel &model() { return model_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *makeContent();
    SettingsSection *makeSummoning();
    SettingsSection *makeStartup();
    SettingsSection *makePointerTrigger();
    SettingsSection *makeReadingSelection();
    SettingsSection *makeAppearance();
    SettingsSection *makeRing();
    SettingsSection *makePerAppRings();
    SettingsSection *makeStarterRings();
    SettingsSection *makeConfigurationFile();

    void showReservation();
    void showLogin();
    void showAppRings();
    void showTemplate();
    void showImportError();
    void addSliderRow(SettingsSection *section, const QString &title, const QString &name, double minimum,
                      double maximum, int decimals, const QString &unit, double Appearance::*field);

    SettingsContext &context_;
    GeneralSettingsModel model_;

    StatusLine *reservation_ = nullptr;
    QCheckBox *launchAtLogin_ = nullptr;
    ToneLabel *loginCaption_ = nullptr;
    StatusLine *accessibilityWarning_ = nullptr;
    QWidget *appRings_ = nullptr;
    QHBoxLayout *appRingRow_ = nullptr;
    ToneLabel *noAppRings_ = nullptr;
    QComboBox *template_ = nullptr;
    QWidget *templateDetails_ = nullptr;
    ToneLabel *templateSummary_ = nullptr;
    ToneLabel *templatePreview_ = nullptr;
    StatusLine *importError_ = nullptr;
};

} // namespace vima
