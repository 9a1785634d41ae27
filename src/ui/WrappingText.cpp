#include "ui/WrappingText.h"

#include <QTextDocument>
#include <cmath>

namespace vima {

WrappingText::WrappingText(const QString &text, QPalette::ColorRole ink, QWidget *parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setAcceptRichText(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus); // as a label selectable by keys is
    document()->setDocumentMargin(0);
    viewport()->setAutoFillBackground(false);
    setBackgroundRole(QPalette::Window);
    QPalette colours = palette();
    colours.setColor(QPalette::Text, colours.color(ink));
    setPalette(colours);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setPlainText(text);
}

int WrappingText::heightForWidth(int width) const
{
    // Laid out apart, so that asking never moves what is on screen.
    QTextDocument probe;
    probe.setDefaultFont(font());
    probe.setDocumentMargin(document()->documentMargin());
    probe.setDefaultTextOption(document()->defaultTextOption());
    probe.setPlainText(toPlainText());
    const QMargins margins = contentsMargins() + viewportMargins();
    probe.setTextWidth(std::max(1, width - margins.left() - margins.right()));
    return int(std::ceil(probe.size().height())) + margins.top() + margins.bottom();
}

QSize WrappingText::sizeHint() const
{
    const int width = QTextEdit::sizeHint().width();
    return {width, heightForWidth(width)};
}

QSize WrappingText::minimumSizeHint() const { return {0, fontMetrics().height()}; }

} // namespace vima
