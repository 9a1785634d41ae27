#pragma once

#include <QWidget>

class QButtonGroup;
class QGridLayout;

namespace vima {

class OnboardingModel;

// The second page: the starter templates as cards, and what the chosen one gives.
class TemplatePage : public QWidget {
    Q_OBJECT

public:
    explicit TemplatePage(OnboardingModel &model, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The chosen card, else the first, takes the keyboard focus.
    void focusChosenCard();
    void showSelection();
    void rebuildPreview();

    OnboardingModel &model_;
    QButtonGroup *cards_;
    QGridLayout *preview_;
};

} // namespace vima
