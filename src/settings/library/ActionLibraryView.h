#pragma once

#include "settings/library/ActionLibraryModel.h"
#include "settings/library/AppScan.h"

#include <QDialog>
#include <QUuid>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace vima {

struct SettingsContext;
class TickList;

// The sheet that adds built-in actions and installed applications to a ring,
// each into a free slot or all together as one pack.
class ActionLibraryView final : public QDialog {
    Q_OBJECT

public:
    ActionLibraryView(SettingsContext &context, const QUuid &ringID, AppScan scan, QWidget *parent = nullptr);

    ActionLibraryModel &model() const { return *model_; }
    // Starts the scan; the apps arrive when it ends, unless the sheet is gone.
    void startScan();

private:
    QWidget *makeSidebar();
    QWidget *makeSearchBar();
    QWidget *makeFooter();
    void refreshCounts();
    void refreshFooter();
    void showContent();
    QCoro::Task<> finish(ActionLibraryModel::Skipped skipped);
    QCoro::Task<> scanApps();
    void showEvent(QShowEvent *event) override;

    SettingsContext &context_;
    AppScan scan_;
    ActionLibraryModel *model_;
    QListWidget *sidebar_ = nullptr;
    QList<QLabel *> counts_;
    QLineEdit *search_ = nullptr;
    QStackedWidget *content_ = nullptr;
    TickList *list_ = nullptr;
    QLabel *status_ = nullptr;
    QPushButton *addAsPack_ = nullptr;
    QPushButton *addToRing_ = nullptr;
    bool scanStarted_ = false;
};

} // namespace vima
