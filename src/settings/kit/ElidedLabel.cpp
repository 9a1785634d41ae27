#include "settings/kit/ElidedLabel.h"

#include "ring/RingText.h"
#include "ui/PlainText.h"

#include <QFontMetricsF>
#include <cmath>

namespace vima {

ElidedLabel::ElidedLabel(Tone tone, Qt::TextElideMode mode, QWidget *parent)
    : ToneLabel(tone, {}, parent)
    , mode_(mode)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString &text)
{
    fullText_ = RingText::bounded(text);
    setToolTip(plainToolTip(fullText_));
    setAccessibleName(fullText_);
    elide();
    updateGeometry();
}

QSize ElidedLabel::minimumSizeHint() const { return {0, ToneLabel::minimumSizeHint().height()}; }

QSize ElidedLabel::sizeHint() const
{
    // Rounded up: the whole-pixel advance can fall short of the text, which
    // then shows elided at its own preferred width.
    return {int(std::ceil(QFontMetricsF(font()).horizontalAdvance(fullText_))), ToneLabel::sizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    ToneLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide()
{
    const QString shown = fontMetrics().elidedText(fullText_, mode_, contentsRect().width());
    if (shown != text())
        setText(shown);
}

} // namespace vima
