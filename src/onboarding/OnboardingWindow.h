#pragma once

#include "onboarding/OnboardingContext.h"

#include <QWidget>

class QScrollArea;
class QStackedWidget;

namespace vima {

class OnboardingModel;

// The first-run window: a fixed-size frame of three pages over a footer bar,
// as tall as its tallest page needs. Deletes itself when closed.
class OnboardingWindow : public QWidget {
    Q_OBJECT

public:
    // The window's size unless a page needs more height.
    static constexpr QSize fixedSize{720, 560};

    OnboardingWindow(OnboardingContext context, bool asksBeforeReplacing, QWidget *parent = nullptr);
    ~OnboardingWindow() override;

    OnboardingModel &model() const { return *model_; }

Q_SIGNALS:
    // The window is going; it deletes itself once the event is handled.
    void closing();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPage();
    // Grows the window so that no page scrolls, as far as the screen allows.
    void fitPages();
    QList<QScrollArea *> pageAreas() const;

    OnboardingModel *model_;
    QStackedWidget *pages_;
    bool fitPending_ = false;
};

} // namespace vima
