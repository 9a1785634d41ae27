#include "settings/SettingsWindow.h"

#include "settings/SettingsBanner.h"
#include "settings/SettingsPages.h"
#include "settings/SettingsWindowModel.h"
#include "settings/kit/AccessibleComboBox.h"
#include "settings/kit/IntentPolicy.h"
#include "settings/kit/SettingsContext.h"
#include "ui/CenterOnPointerScreen.h"
#include "ui/FollowPalette.h"
#include "ui/Palette.h"
#include "ui/SymbolCatalog.h"
#include "ui/WindowCommands.h"

#include <QCloseEvent>
#include <QCursor>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vima {

namespace {

const QString geometryKey = QStringLiteral("VimaSettingsWindow");

QString symbol(SettingsTab tab)
{
    switch (tab) {
    case SettingsTab::items: return QStringLiteral("circle.grid.cross");
    case SettingsTab::general: return QStringLiteral("gearshape");
    case SettingsTab::ai: return QStringLiteral("sparkles");
    case SettingsTab::permissions: return QStringLiteral("lock.shield");
    }
    Q_UNREACHABLE();
}

int indexOf(SettingsTab tab) { return static_cast<int>(tab); }

} // namespace

SettingsWindow::SettingsWindow(SettingsWindowModel &model, SettingsContext &context, QWidget *parent)
    : QWidget(parent), model_(model), context_(context), banner_(new SettingsBanner), tabs_(new QTabWidget)
{
    setWindowTitle(QStringLiteral("Tavelon Settings"));
    setAttribute(Qt::WA_QuitOnClose, false);
    IntentPolicy::install();
    AccessibleComboBox::installFactory();
    setMinimumSize(smallestSize);
    resize(defaultSize);
    closeOnCtrlW(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(banner_);
    layout->addSpacing(8);
    layout->addWidget(tabs_, 1);
    // A page is built the first time its tab shows: the first open builds
    // and lays out one page, not four.
    for (SettingsTab tab : allSettingsTabs()) {
        auto *holder = new QWidget;
        auto *layout = new QVBoxLayout(holder);
        layout->setContentsMargins(0, 0, 0, 0);
        tabs_->addTab(holder, title(tab));
    }
    followPalette(this, [this] { paintTabIcons(); });
    tabs_->setCurrentIndex(indexOf(model_.tab()));
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        model_.setTab(allSettingsTabs().value(index));
        showCurrentPage();
    });
    connect(&model_, &SettingsWindowModel::tabChanged, this,
            [this](SettingsTab tab) { tabs_->setCurrentIndex(indexOf(tab)); });
    connect(&model_, &SettingsWindowModel::bannerTextChanged, this, &SettingsWindow::showBanner);
    showBanner();
}

QWidget *SettingsWindow::page(SettingsTab tab)
{
    QLayout *holder = tabs_->widget(indexOf(tab))->layout();
    if (holder->isEmpty()) {
        QWidget *built = makeSettingsPage(tab, context_);
        holder->addWidget(built);
        built->show(); // now, not on the next turn of the event loop
    }
    return holder->itemAt(0)->widget();
}

void SettingsWindow::placeFirstTime()
{
    centerOnPointerScreen(this, QCursor::pos());
    const QByteArray saved = context_.settings.value(geometryKey).toByteArray();
    if (!saved.isEmpty())
        restoreGeometry(saved);
}

void SettingsWindow::rememberGeometry() { context_.settings.setValue(geometryKey, saveGeometry()); }

void SettingsWindow::showBanner()
{
    const std::optional<QString> text = model_.bannerText();
    banner_->setVisible(text.has_value());
    banner_->setText(text.value_or(QString()));
}

void SettingsWindow::showCurrentPage()
{
    if (!isVisible())
        return;
    const SettingsTab tab = model_.tab();
    QLayout *holder = tabs_->widget(indexOf(tab))->layout();
    if (tab == SettingsTab::items && !holder->isEmpty()) {
        QLayoutItem *item = holder->takeAt(0);
        QWidget *old = item->widget();
        delete item;
        old->hide();
        old->deleteLater();
    }
    page(tab);
}

void SettingsWindow::paintTabIcons()
{
    for (SettingsTab tab : allSettingsTabs())
        tabs_->setTabIcon(indexOf(tab), QIcon(QPixmap::fromImage(SymbolCatalog::image(
                                            symbol(tab), 32, Palette::label(), SymbolCatalog::Weight::medium))));
}

void SettingsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        showCurrentPage();
}

void SettingsWindow::closeEvent(QCloseEvent *event)
{
    rememberGeometry();
    model_.windowClosing();
    QWidget::closeEvent(event);
}

} // namespace vima
