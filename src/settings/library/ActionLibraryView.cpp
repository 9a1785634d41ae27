#include "settings/library/ActionLibraryView.h"

#include "platform/UiPrompts.h"
#include "settings/kit/ContentUnavailableView.h"
#include "settings/kit/RowSelection.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/library/ActionLibraryDelegate.h"
#include "settings/library/TickList.h"
#include "store/ConfigStore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vima {

ActionLibraryView::ActionLibraryView(SettingsContext &context, const QUuid &ringID, AppScan scan, QWidget *parent)
    : QDialog(parent), context_(context), scan_(std::move(scan)), model_(new ActionLibraryModel(context.store, ringID, this))
{
    setWindowTitle(QStringLiteral("Action Library"));
    setFixedSize(760, 540);
    setWindowModality(Qt::WindowModal);

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(makeSidebar());
    auto *column = new QWidget;
    column->setMinimumWidth(420);
    auto *columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->setSpacing(0);
    columnLayout->addWidget(makeSearchBar());
    columnLayout->addWidget(dividerLine());

    list_ = new TickList(model_);
    list_->setObjectName(QStringLiteral("libraryList"));
    list_->setAccessibleName(QStringLiteral("Actions"));
    list_->setItemDelegate(new ActionLibraryDelegate(&context.appIcons, list_));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setUniformItemSizes(false);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    content_ = new QStackedWidget;
    content_->addWidget(list_);
    content_->addWidget(new ContentUnavailableView(QStringLiteral("No matching actions"), QStringLiteral("magnifyingglass"),
                                                   QStringLiteral("Try a different word, or pick All on the left.")));
    columnLayout->addWidget(content_, 1);
    splitter->addWidget(column);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 560});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(splitter, 1);
    layout->addWidget(dividerLine());
    layout->addWidget(makeFooter());

    connect(model_, &ActionLibraryModel::modelReset, this, &ActionLibraryView::showContent);
    connect(model_, &ActionLibraryModel::stateChanged, this, &ActionLibraryView::refreshFooter);
    connect(model_, &ActionLibraryModel::countsChanged, this, &ActionLibraryView::refreshCounts);
    refreshCounts();
    refreshFooter();
    showContent();
    search_->setFocus();
}

QWidget *ActionLibraryView::makeSidebar()
{
    sidebar_ = new QListWidget;
    sidebar_->setObjectName(QStringLiteral("librarySidebar"));
    sidebar_->setAccessibleName(QStringLiteral("Categories"));
    sidebar_->setMinimumWidth(180);
    sidebar_->setMaximumWidth(260);
    sidebar_->setFrameShape(QFrame::NoFrame);
    for (const CategoryFilter &filter : CategoryFilter::allCases()) {
        auto *item = new QListWidgetItem(sidebar_);
        item->setData(Qt::AccessibleTextRole, filter.title());
        item->setSizeHint(QSize(0, 28));
        auto *row = new QWidget;
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(8, 0, 8, 0);
        auto *icon = new SymbolIcon(filter.symbolName(), Tone::secondary, 14);
        layout->addWidget(icon);
        auto *title = new ToneLabel(Tone::label, filter.title());
        layout->addWidget(title, 1);
        auto *count = new ToneLabel(Tone::secondary);
        count->setFont(captionFont());
        layout->addWidget(count);
        counts_.append(count);
        sidebar_->setItemWidget(item, row);
    }
    sidebar_->setCurrentRow(0);
    followSelectedRow(sidebar_, this, [this](int row) {
        if (row >= 0) {
            model_->setFilter(CategoryFilter::allCases().value(row));
            return;
        }
        // A category unselected by itself stays the filter, so it is shown
        // again once whoever unselected it is done.
        QMetaObject::invokeMethod(this, [this] {
            sidebar_->selectionModel()->select(sidebar_->currentIndex(), QItemSelectionModel::ClearAndSelect);
        }, Qt::QueuedConnection);
    });
    return sidebar_;
}

QWidget *ActionLibraryView::makeSearchBar()
{
    auto *bar = new QWidget;
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(6);
    layout->addWidget(new SymbolIcon(QStringLiteral("magnifyingglass"), Tone::secondary, 14));
    search_ = searchField(QStringLiteral("librarySearch"), QStringLiteral("Search actions"));
    connect(search_, &QLineEdit::textChanged, model_, &ActionLibraryModel::setQuery);
    layout->addWidget(search_, 1);
    return bar;
}

QWidget *ActionLibraryView::makeFooter()
{
    auto *footer = new QWidget;
    auto *layout = new QHBoxLayout(footer);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(10);
    status_ = new ToneLabel(Tone::secondary);
    status_->setFont(calloutFont());
    layout->addWidget(status_, 1);

    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(cancel);

    addAsPack_ = new QPushButton(QStringLiteral("Add as a Pack"));
    addAsPack_->setAutoDefault(false);
    addAsPack_->setToolTip(QStringLiteral("Puts every selected action in a nested ring, costing one slot instead of several."));
    connect(addAsPack_, &QPushButton::clicked, this, [this] {
        if (const std::optional<ActionLibraryModel::Skipped> skipped = model_->addAsPack())
            finish(*skipped);
    });
    layout->addWidget(addAsPack_);

    addToRing_ = inkButton(QStringLiteral("Add to Ring"));
    addToRing_->setDefault(true);
    connect(addToRing_, &QPushButton::clicked, this, [this] {
        if (model_->canAdd())
            finish(model_->addToRing());
    });
    layout->addWidget(addToRing_);
    return footer;
}

void ActionLibraryView::startScan()
{
    scanStarted_ = true;
    scanApps();
}

void ActionLibraryView::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!scanStarted_)
        startScan();
}

QCoro::Task<> ActionLibraryView::scanApps()
{
    QPointer<ActionLibraryView> self(this);
    const QList<InstalledApp> apps = co_await scan_();
    if (self)
        self->model_->setInstalledApps(apps);
}

void ActionLibraryView::refreshCounts()
{
    const QList<CategoryFilter> filters = CategoryFilter::allCases();
    for (qsizetype i = 0; i < filters.size(); ++i)
        counts_[i]->setText(QString::number(model_->count(filters[i])));
}

void ActionLibraryView::refreshFooter()
{
    status_->setText(model_->statusText());
    const bool enabled = model_->canAdd();
    addAsPack_->setEnabled(enabled);
    addToRing_->setEnabled(enabled);
}

void ActionLibraryView::showContent()
{
    content_->setCurrentIndex(model_->rowCount() == 0 ? 1 : 0);
}

QCoro::Task<> ActionLibraryView::finish(ActionLibraryModel::Skipped skipped)
{
    QPointer<ActionLibraryView> self(this);
    if (skipped.count >= 1)
        co_await context_.prompts.alert(nullptr, QStringLiteral("Added what fit."),
                                        ActionLibraryModel::skippedText(skipped));
    if (self)
        self->accept();
}

} // namespace vima
