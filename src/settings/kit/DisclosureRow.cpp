#include "settings/kit/DisclosureRow.h"

#include "settings/kit/SettingsLooks.h"
#include "ui/SymbolCatalog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vima {

DisclosureRow::DisclosureRow(const DisclosureText &text, QWidget *parent)
    : QWidget(parent), detail_(caption(text.detail))
{
    auto *title = new ToneLabel(Tone::label, text.title);
    title->setFont(calloutFont(QFont::Medium));
    title->setWordWrap(true);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(title);
    texts->addWidget(detail_);

    auto *symbol = new SymbolIcon(shownSymbol(text.symbol), Tone::secondary, 15);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(10);
    auto *column = new QVBoxLayout;
    column->setContentsMargins(0, 1, 0, 0);
    column->addWidget(symbol, 0, Qt::AlignHCenter);
    auto *frame = new QWidget;
    frame->setFixedWidth(20);
    frame->setLayout(column);
    row->addWidget(frame, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
}

QString DisclosureRow::shownSymbol(const QString &name)
{
    return SymbolCatalog::knows(name) ? name : QStringLiteral("circle.fill");
}

void DisclosureRow::setDetail(const QString &detail)
{
    if (detail_->text() != detail)
        detail_->setText(detail);
}

} // namespace vima
