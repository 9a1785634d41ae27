#include "settings/kit/DisclosureRow.h"

#include "ui/IconView.h"
#include "ui/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace vima {

namespace {

QLabel *wrappingLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

DisclosureRow::DisclosureRow(const DisclosureText &text, QWidget *parent)
    : QWidget(parent)
    , symbol_(shownSymbol(text.symbol))
    , title_(wrappingLabel(text.title, this))
    , detail_(wrappingLabel(text.detail, this))
{
    QFont callout = title_->font();
    callout.setPointSizeF(callout.pointSizeF() - 1);
    callout.setWeight(QFont::Medium);
    title_->setFont(callout);
    QFont caption = detail_->font();
    caption.setPointSizeF(caption.pointSizeF() - 2);
    detail_->setFont(caption);
    applyColours();

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(title_);
    texts->addWidget(detail_);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(10);
    row->addSpacing(symbolColumn);
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

void DisclosureRow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyColours();
}

void DisclosureRow::applyColours()
{
    QPalette colours = detail_->palette();
    colours.setColor(QPalette::WindowText, Palette::secondaryLabel(palette()));
    detail_->setPalette(colours);
}

void DisclosureRow::paintEvent(QPaintEvent *)
{
    // The symbol sits on the title's first line, centred in its column.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double size = title_->font().pointSizeF();
    const QPointF centre(symbolColumn / 2.0, title_->geometry().top() + title_->fontMetrics().height() / 2.0);
    IconView::paintSymbol(painter, symbol_, centre, size, Palette::secondaryLabel(palette()),
                          SymbolCatalog::Weight::regular);
}

} // namespace vima
