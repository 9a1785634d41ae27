#include "settings/items/AppActionPickerView.h"

#include "settings/kit/FieldText.h"
#include "settings/kit/IconTile.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/kit/ShownName.h"
#include "ui/PlainText.h"

#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vima {
namespace {

QFrame *plainDivider()
{
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    return line;
}

} // namespace

AppActionPickerView::AppActionPickerView(SettingsContext &context, const AppActionPickerModel::Target &target,
                                         QWidget *parent)
    : QDialog(parent), context_(context), model_(context.store, target), rows_(new QVBoxLayout)
{
    setWindowTitle(plainWindowTitle(model_.headerTitle()));
    resize(460, 480);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildHeader());
    column->addWidget(plainDivider());

    auto *list = new QWidget;
    list->setLayout(rows_);
    rows_->setContentsMargins(10, 6, 10, 6);
    rows_->setSpacing(0);
    column->addWidget(scrollingArea(list), 1);
    column->addWidget(plainDivider());

    auto *footer = new QWidget;
    QHBoxLayout *row = rowLayout(10);
    footer->setLayout(row);
    row->setContentsMargins(14, 10, 14, 10);
    count_ = new ToneLabel(Tone::secondary);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setAutoDefault(false);
    QPushButton *create = inkButton(QStringLiteral("Create Pack"));
    create->setDefault(true);
    row->addWidget(count_);
    row->addStretch(1);
    row->addWidget(cancel);
    row->addWidget(create);
    column->addWidget(footer);

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(create, &QPushButton::clicked, this, [this] {
        model_.createPack();
        accept();
    });
    connect(&model_, &AppActionPickerModel::candidatesChanged, this, &AppActionPickerView::rebuildRows);
    connect(&model_, &AppActionPickerModel::ticksChanged, this, &AppActionPickerView::refreshTicks);
}

QWidget *AppActionPickerView::buildHeader()
{
    auto *header = new QWidget;
    QHBoxLayout *row = rowLayout(10);
    header->setLayout(row);
    row->setContentsMargins(14, 12, 14, 12);
    auto *tile = new IconTile({.side = 40, .radius = 8, .iconSize = 22, .fill = {}, .bordered = true,
                               .ink = Tone::label},
                              &context_.appIcons);
    tile->setIcon(model_.target().appIcon);
    auto *title = new ToneLabel(Tone::label, model_.headerTitle());
    QFont headline = QGuiApplication::font();
    headline.setWeight(QFont::DemiBold);
    title->setFont(headline);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->addWidget(title);
    texts->addWidget(caption(QStringLiteral("Pick what goes in the pack. You can edit it afterwards.")));
    row->addWidget(tile);
    row->addLayout(texts, 1);
    return header;
}

void AppActionPickerView::showEvent(QShowEvent *event)
{
    model_.loadCandidates();
    QDialog::showEvent(event);
}

void AppActionPickerView::rebuildRows()
{
    while (QLayoutItem *old = rows_->takeAt(0)) {
        delete old->widget();
        delete old;
    }
    ticks_.clear();
    for (const RingItem &candidate : model_.candidates()) {
        auto *line = new QWidget;
        QHBoxLayout *row = rowLayout(10);
        line->setLayout(row);
        row->setContentsMargins(0, 3, 0, 3);
        const QString title = shownName(candidate.title);
        auto *tick = new QCheckBox;
        tick->setAccessibleName(title);
        auto *tile = new IconTile({.side = 30, .radius = 6, .iconSize = 15, .fill = {}, .bordered = true,
                                   .ink = Tone::secondary},
                                  &context_.appIcons);
        tile->setIcon(candidate.icon);
        auto *name = new ToneLabel(Tone::label, title);
        QFont medium = name->font();
        medium.setWeight(QFont::Medium);
        name->setFont(medium);
        row->addWidget(tick);
        row->addWidget(tile);
        row->addWidget(name, 1);
        row->addSpacing(8);
        line->setCursor(Qt::PointingHandCursor);
        line->installEventFilter(this);
        line->setProperty("candidate", candidate.id);
        const QUuid id = candidate.id;
        connect(tick, &QCheckBox::toggled, &model_, [this, id](bool ticked) {
            if (ticked != model_.isTicked(id))
                model_.toggle(id);
        });
        ticks_.insert(id, tick);
        rows_->addWidget(line);
    }
    rows_->addStretch(1);
    refreshTicks();
}

bool AppActionPickerView::eventFilter(QObject *watched, QEvent *event)
{
    // A press anywhere on a row but its check box (which takes its own) flips the tick.
    if (event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        model_.toggle(watched->property("candidate").toUuid());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AppActionPickerView::refreshTicks()
{
    for (auto it = ticks_.cbegin(); it != ticks_.cend(); ++it)
        showChecked(it.value(), model_.isTicked(it.key()));
    count_->setText(model_.selectedText());
}

} // namespace vima
