#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace vima {

class AISetupModel;
class SettingsSection;
class StatusLine;
class SymbolIcon;
class ToneLabel;

// The AI tab's simple view: whether AI actions can run, the built-in model
// with the steps to turn it on, the way to an own AI service, and a warning
// while the selection can't be read. Built once; follows its model.
class AISetupView final : public QWidget {
    Q_OBJECT

public:
    explicit AISetupView(AISetupModel &model, QWidget *parent = nullptr);

Q_SIGNALS:
    void showAdvanced();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *statusSection();
    QWidget *builtInSection();
    QWidget *setupHelp();
    QWidget *ownServiceSection();
    QWidget *accessibilitySection();
    void apply();

    AISetupModel &model_;
    SymbolIcon *statusIcon_ = nullptr;
    ToneLabel *headline_ = nullptr;
    ToneLabel *detail_ = nullptr;
    QWidget *setupHelp_ = nullptr;
    StatusLine *reason_ = nullptr;
    StatusLine *readyLine_ = nullptr;
    StatusLine *needsSetupLine_ = nullptr;
    QWidget *accessibility_ = nullptr;
};

} // namespace vima
