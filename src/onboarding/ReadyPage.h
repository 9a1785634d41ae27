#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace vima {

class OnboardingModel;

// The last page: which ring was installed, how to summon it, what needs XTest
// and whether this X server offers it.
class ReadyPage : public QWidget {
    Q_OBJECT

public:
    explicit ReadyPage(OnboardingModel &model, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *accessibilityContent();
    void showHeader();
    void showTrust();

    OnboardingModel &model_;
    QLabel *header_;
    QWidget *granted_;
    QWidget *missing_;
    QLabel *missingText_;
    QPushButton *checkAgain_;
};

} // namespace vima
