#include "actions/AskInputView.h"

#include "actions/PanelText.h"
#include "model/Text.h"
#include "ui/PanelFrame.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QWindow>

namespace vima {
namespace {

constexpr int padding = 14;
constexpr int cornerRadius = 14;
constexpr int iconSize = 16;

// The text cut to two lines of `width`, the second ending in an ellipsis when
// more would follow.
QString twoLines(const QString &text, const QFont &font, int width)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine first = layout.createLine();
    if (!first.isValid())
        return text;
    first.setLineWidth(width);
    QTextLine second = layout.createLine();
    if (!second.isValid())
        return text;
    second.setLineWidth(width);
    layout.endLayout();
    const qsizetype secondEnd = second.textStart() + second.textLength();
    if (secondEnd >= text.size())
        return text;
    const QString rest = text.mid(second.textStart());
    return text.left(second.textStart()) + QFontMetrics(font).elidedText(rest, Qt::ElideRight, width);
}

} // namespace

AskInputView::AskInputView(const QString &question) : question_(question)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedWidth(width);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(12);
    column->addWidget(makeHeader());

    field_ = new QLineEdit(this);
    field_->setStyleSheet(QStringLiteral(
        "QLineEdit { padding: 7px 10px; border: 1px solid palette(mid); border-radius: 6px;"
        " background: palette(base); color: palette(text); }"
        "QLineEdit:focus { border-color: palette(highlight); }"));
    column->addWidget(field_);
    column->addWidget(makeButtons());

    // The field has the keys as soon as the panel is active.
    field_->setFocus(Qt::OtherFocusReason);
    adjustSize();
}

QWidget *AskInputView::makeHeader()
{
    auto *header = new QWidget(this);
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    auto *icon = new QLabel(header);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop);
    row->addWidget(icon);

    auto *label = new QLabel(header);
    QFont headline = label->font();
    headline.setBold(true);
    label->setFont(headline);
    label->setWordWrap(true);
    const int textWidth = width - 2 * padding - iconSize - row->spacing();
    label->setText(twoLines(Text::cut(question_, PanelText::longestMessage), headline, textWidth));
    label->setTextFormat(Qt::PlainText);
    row->addWidget(label, 1);
    return header;
}

QWidget *AskInputView::makeButtons()
{
    auto *buttons = new QWidget(this);
    auto *row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addStretch(1);

    auto *cancel = new QPushButton(tr("Cancel"), buttons);
    connect(cancel, &QPushButton::clicked, this, &AskInputView::cancelled);
    row->addWidget(cancel);

    auto *proceed = new QPushButton(tr("Continue"), buttons);
    proceed->setStyleSheet(QStringLiteral(
        "QPushButton { background: palette(highlight); color: palette(highlighted-text);"
        " border-radius: 5px; padding: 4px 12px; }"));
    connect(proceed, &QPushButton::clicked, this, &AskInputView::submit);
    row->addWidget(proceed);
    return buttons;
}

void AskInputView::submit()
{
    Q_EMIT submitted(field_->text());
}

void AskInputView::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        submit();
        return;
    }
    if (modifiers == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        Q_EMIT cancelled();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AskInputView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && windowHandle())
        windowHandle()->startSystemMove();
}

void AskInputView::paintEvent(QPaintEvent *) { PanelFrame::rounded(cornerRadius).paint(*this); }

void AskInputView::resizeEvent(QResizeEvent *event)
{
    PanelFrame::rounded(cornerRadius).clip(*this);
    QWidget::resizeEvent(event);
}

void AskInputView::closeEvent(QCloseEvent *event)
{
    Q_EMIT closing();
    QWidget::closeEvent(event);
}

} // namespace vima
