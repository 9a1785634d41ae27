#pragma once

#include <QWidget>

class QHBoxLayout;

namespace vima {

class OnboardingModel;

// The bar under the pages: "Back", the page's buttons, and the page marks.
class OnboardingFooter : public QWidget {
    Q_OBJECT

public:
    explicit OnboardingFooter(OnboardingModel &model, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuild();
    // Where the page marks may go without covering a button.
    QRect buttonGap() const;

    OnboardingModel &model_;
    QHBoxLayout *row_;
};

} // namespace vima
