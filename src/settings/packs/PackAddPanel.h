#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;
class QListWidgetItem;
class QStackedWidget;
class QVBoxLayout;

namespace vima {

class ChoiceList;
class PackAddRowDelegate;
class PackBuilderModel;
struct SettingsContext;

// The pack builder's add panel: a pop-up at the builder's right edge with
// the root, library and apps pages. Closing it keeps the page, the search
// texts and the application list.
class PackAddPanel final : public QFrame {
    Q_OBJECT

public:
    PackAddPanel(SettingsContext &context, PackBuilderModel &model, QWidget *parent);

    // Shows the model's page now.
    void refresh();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *makeRootPage();
    QWidget *makeLibraryPage();
    QWidget *makeAppsPage();
    QWidget *pageHeader(QLabel **title, const std::function<void()> &back);
    // A narrow page's column, headed by a back button and `title`.
    QVBoxLayout *subpageColumn(QWidget *page, QLabel **title, const std::function<void()> &back);
    void refreshSavedPacks();
    void refreshLibrary();
    void refreshApps();

    SettingsContext &context_;
    PackBuilderModel &model_;
    QStackedWidget *pages_;
    PackAddRowDelegate *rows_;
    QVBoxLayout *savedPacks_ = nullptr;
    QLineEdit *libSearch_ = nullptr;
    ChoiceList *library_ = nullptr;
    QLabel *appsTitle_ = nullptr;
    QLineEdit *appSearch_ = nullptr;
    QLabel *scanning_ = nullptr;
    ChoiceList *apps_ = nullptr;
};

} // namespace vima
