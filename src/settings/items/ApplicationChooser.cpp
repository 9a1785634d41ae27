#include "settings/items/ApplicationChooser.h"

#include "ring/RingText.h"
#include "settings/items/ApplicationChooserDelegate.h"
#include "settings/kit/RowSelection.h"
#include "ui/PlainText.h"
#include "ui/Sheet.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace vima {

ApplicationChooser::ApplicationChooser(std::shared_ptr<const ApplicationCatalog> catalog,
                                       const AppIconCache *appIcons, QWidget *parent)
    : QDialog(parent), filter_(new QLineEdit), list_(new QListWidget)
{
    resize(420, 460);
    filter_->setPlaceholderText(QStringLiteral("Filter"));
    filter_->setAccessibleName(QStringLiteral("Filter"));
    filter_->setClearButtonEnabled(true);
    filter_->installEventFilter(this);
    list_->setAccessibleName(QStringLiteral("Applications"));
    list_->setIconSize(QSize(24, 24));
    list_->setUniformItemSizes(true);
    list_->setItemDelegate(new ApplicationChooserDelegate(appIcons, list_));
    auto *buttons = new QDialogButtonBox;
    choose_ = buttons->addButton(QStringLiteral("Choose"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    choose_->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filter_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);

    connect(filter_, &QLineEdit::textChanged, &model_, &ApplicationChooserModel::setFilter);
    connect(&model_, &ApplicationChooserModel::shownChanged, this, &ApplicationChooser::refreshList);
    followSelectedRow(list_, this, [this](int row) { choose_->setEnabled(row >= 0); });
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    choose_->setEnabled(false);
    load(std::move(catalog));
}

QCoro::Task<> ApplicationChooser::load(std::shared_ptr<const ApplicationCatalog> catalog)
{
    QPointer<ApplicationChooser> self(this);
    const QList<InstalledApp> apps = co_await InstalledApp::loadAll(std::move(catalog));
    if (self)
        model_.setApps(apps);
}

void ApplicationChooser::refreshList()
{
    list_->clear();
    for (const InstalledApp &app : model_.shown()) {
        auto *row = new QListWidgetItem(RingText::bounded(app.name), list_);
        row->setData(ApplicationChooserDelegate::bundleIDRole, app.bundleID);
        row->setToolTip(plainToolTip(app.bundleID));
    }
    list_->setCurrentRow(list_->count() > 0 ? 0 : -1);
}

std::optional<ChosenApplication> ApplicationChooser::chosen() const
{
    const int row = selectedRow(list_);
    if (row < 0 || row >= model_.shown().size())
        return std::nullopt;
    return ApplicationChooserModel::chosen(model_.shown().at(row));
}

bool ApplicationChooser::eventFilter(QObject *watched, QEvent *event)
{
    // Up and Down in the filter move through the list.
    if (watched == filter_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const int row = list_->currentRow() + (key == Qt::Key_Down ? 1 : -1);
            if (row >= 0 && row < list_->count())
                list_->setCurrentRow(row);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QCoro::Task<std::optional<ChosenApplication>> ApplicationChooser::choose(
    QWidget *parent, std::shared_ptr<const ApplicationCatalog> catalog, const AppIconCache *appIcons)
{
    QPointer<ApplicationChooser> chooser = new ApplicationChooser(std::move(catalog), appIcons, parent);
    const int result = co_await openSheet(chooser);
    std::optional<ChosenApplication> chosen;
    if (chooser && result == QDialog::Accepted)
        chosen = chooser->chosen();
    if (chooser)
        chooser->deleteLater();
    co_return chosen;
}

} // namespace vima
