#pragma once

#include "settings/items/ApplicationChooserModel.h"

#include <QCoroTask>
#include <QDialog>
#include <memory>
#include <optional>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace vima {

class AppIconCache;
class ApplicationCatalog;

// A window-modal picker of the installed applications with a filter and a
// "Choose" default button. The list is read on a worker thread while the
// dialog is already up.
class ApplicationChooser final : public QDialog {
    Q_OBJECT

public:
    ApplicationChooser(std::shared_ptr<const ApplicationCatalog> catalog, const AppIconCache *appIcons,
                       QWidget *parent = nullptr);

    // Opens a chooser over `parent`; none when it is cancelled or closed.
    static QCoro::Task<std::optional<ChosenApplication>> choose(QWidget *parent,
                                                                std::shared_ptr<const ApplicationCatalog> catalog,
                                                                const AppIconCache *appIcons);

    ApplicationChooserModel &model() { return model_; }
    // The selected application, if any.
    std::optional<ChosenApplication> chosen() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QCoro::Task<> load(std::shared_ptr<const ApplicationCatalog> catalog);
    void refreshList();

    ApplicationChooserModel model_;
    QLineEdit *filter_;
    QListWidget *list_;
    QPushButton *choose_;
};

} // namespace vima
