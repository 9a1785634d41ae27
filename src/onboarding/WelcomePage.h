#pragma once

#include <QWidget>

class QLabel;

namespace vima {

class OnboardingModel;

// The first page: the shortcut, how to use the ring, where the app lives.
class WelcomePage : public QWidget {
    Q_OBJECT

public:
    explicit WelcomePage(OnboardingModel &model, QWidget *parent = nullptr);

private:
    void showHotkey();

    OnboardingModel &model_;
    QLabel *hotkey_;
    QLabel *holdLine_;
    QLabel *tapLine_;
};

} // namespace vima
