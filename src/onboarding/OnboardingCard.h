#pragma once

#include <QFrame>

namespace vima {

// The card look of the first-run pages: a rounded panel with a thin border.
class OnboardingCard : public QFrame {
    Q_OBJECT

public:
    explicit OnboardingCard(qreal radius = 8, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal radius_;
};

} // namespace vima
