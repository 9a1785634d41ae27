#include "settings/packs/SavedGroupsView.h"

#include "settings/kit/ContentUnavailableView.h"
#include "settings/kit/IconTile.h"
#include "settings/kit/MenuLooks.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/packs/SavedGroupsModel.h"
#include "ui/Palette.h"
#include "ui/SymbolCatalog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vima {

namespace {

QWidget *row(const SavedGroupsModel::Row &pack, const AppIconCache *appIcons, QWidget *deleteButton)
{
    auto *widget = new QWidget;
    auto *layout = new QHBoxLayout(widget);
    layout->setContentsMargins(16, 2, 16, 2);
    layout->setSpacing(10);
    auto *tile = new IconTile(IconTile::Look{30, 6, 15, [] { return Palette::controlBackground(); }, true, Tone::secondary},
                              appIcons);
    tile->setFixedSize(30, 30);
    tile->setIcon(pack.icon);
    layout->addWidget(tile);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->addWidget(new ToneLabel(Tone::label, pack.name));
    auto *count = new ToneLabel(Tone::secondary, pack.itemCount);
    count->setFont(captionFont());
    texts->addWidget(count);
    layout->addLayout(texts, 1);
    layout->addWidget(deleteButton);
    widget->setAccessibleName(pack.name);
    return widget;
}

} // namespace

SavedGroupsView::SavedGroupsView(SettingsContext &context, QWidget *parent)
    : QDialog(parent), context_(context), model_(new SavedGroupsModel(context.store, context.prompts, this))
{
    setWindowTitle(QStringLiteral("Saved Packs"));
    setFixedSize(380, 420);
    setWindowModality(Qt::WindowModal);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *header = new QHBoxLayout;
    header->setContentsMargins(16, 16, 16, 16);
    auto *title = new ToneLabel(Tone::label, QStringLiteral("Saved Packs"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 15.0 / 13.0);
    titleFont.setWeight(QFont::DemiBold);
    title->setFont(titleFont);
    header->addWidget(title, 1);
    auto *done = new QPushButton(QStringLiteral("Done"));
    done->setAutoDefault(false);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    header->addWidget(done);
    layout->addLayout(header);
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    layout->addWidget(line);

    content_ = new QStackedWidget;
    content_->addWidget(new ContentUnavailableView(
        QStringLiteral("No saved packs"), QStringLiteral("square.grid.2x2"),
        QStringLiteral("Edit a pack opener and choose “Save as Pack” to keep it here.")));
    auto *list = new QWidget;
    rows_ = new QVBoxLayout(list);
    rows_->setContentsMargins(0, 6, 0, 6);
    rows_->setSpacing(0);
    QScrollArea *scroll = scrollingArea(list);
    scroll->setObjectName(QStringLiteral("savedGroupsList"));
    content_->addWidget(scroll);
    layout->addWidget(content_, 1);

    connect(model_, &SavedGroupsModel::rowsChanged, this, &SavedGroupsView::rebuildRows);
    rebuildRows();
}

void SavedGroupsView::rebuildRows()
{
    while (QLayoutItem *item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const SavedGroupsModel::Row &pack : model_->rows()) {
        auto *remove = new QToolButton;
        setSymbolIcon(remove, QStringLiteral("trash"), Tone::secondary);
        remove->setAutoRaise(true);
        remove->setFixedSize(28, 28);
        remove->setToolTip(QStringLiteral("Delete this saved pack"));
        remove->setAccessibleName(QStringLiteral("Delete ") + pack.name);
        connect(remove, &QToolButton::clicked, this, [this, id = pack.id] { model_->confirmDelete(id, this); });
        rows_->addWidget(row(pack, &context_.appIcons, remove));
    }
    rows_->addStretch();
    content_->setCurrentIndex(model_->rows().isEmpty() ? 0 : 1);
}

} // namespace vima
