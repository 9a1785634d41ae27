#pragma once

#include <QWidget>

class QFormLayout;
class QPushButton;

namespace vima {

class AISettingsModel;
class AISetupModel;
class SettingsSection;
class StatusLine;
class SymbolIcon;
class ToneLabel;

// The AI tab's simple view: whether AI actions can run, the local Ollama
// server with the steps that get it answering and where text still goes, the
// way to an own AI service, and a warning leading to the Permissions tab
// while the selection can't be read. Built once; follows its model.
class AISetupView final : public QWidget {
    Q_OBJECT

public:
    // `tab` removes a saved key that takes text off this computer.
    AISetupView(AISetupModel &model, AISettingsModel &tab, QWidget *parent = nullptr);

Q_SIGNALS:
    void showAdvanced();
    // The permission warning's button: the Permissions tab says what is missing.
    void openPermissions();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *statusSection();
    QWidget *localSection(AISettingsModel &tab);
    QWidget *setupHelp();
    QWidget *ownServiceSection();
    QWidget *accessibilitySection();
    void showSteps(const QStringList &steps);
    void apply();

    AISetupModel &model_;
    SymbolIcon *statusIcon_ = nullptr;
    ToneLabel *headline_ = nullptr;
    ToneLabel *detail_ = nullptr;
    ToneLabel *promise_ = nullptr;
    QWidget *setupHelp_ = nullptr;
    StatusLine *reason_ = nullptr;
    QFormLayout *steps_ = nullptr;
    QStringList shownSteps_;
    QPushButton *checkAgain_ = nullptr;
    bool refocusCheckAgain_ = false;
    StatusLine *readyLine_ = nullptr;
    StatusLine *checkingLine_ = nullptr;
    QWidget *accessibility_ = nullptr;
};

} // namespace vima
