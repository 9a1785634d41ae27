#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QHBoxLayout;
class QLabel;
class QWidget;

namespace vima::onboarding {

// The text styles of the first-run pages, in window pixels.
enum class TextStyle { largeTitle, title, title3, headline, callout, caption, captionStrong };

QFont font(TextStyle style);
// The serif display face of the page titles.
QFont titleFont(int pixelSize);

// A plain-text label in `style` and `colour`; wrapped labels never truncate.
QLabel *textLabel(const QString &text, TextStyle style, const QColor &colour, bool wrap = true,
                  QWidget *parent = nullptr);
// A system symbol (or "circle.fill" when unknown) drawn `pixelSize` high.
QLabel *symbolLabel(const QString &name, int pixelSize, const QColor &colour, QWidget *parent = nullptr);
void setTextColour(QWidget *widget, const QColor &colour);
// `widget` centred in a row of its own, so a wrapping text gets its height for
// the width it really has.
QHBoxLayout *centredRow(QWidget *widget);

} // namespace vima::onboarding
