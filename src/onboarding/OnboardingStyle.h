#pragma once

#include "settings/kit/SettingsLooks.h"

#include <QFont>
#include <QString>

class QHBoxLayout;
class QWidget;

namespace vima::onboarding {

// The text styles of the first-run pages, in window pixels.
enum class TextStyle { largeTitle, title, title3, headline, callout, caption, captionStrong };

QFont font(TextStyle style);
// The serif display face of the page titles.
QFont titleFont(int pixelSize);

// A plain-text label in `style` and `tone`; wrapped labels never truncate.
ToneLabel *textLabel(const QString &text, TextStyle style, Tone tone, bool wrap = true);
// A system symbol `side` pixels square; "circle.fill" stands in for a name
// the catalogue does not know.
SymbolIcon *symbolIcon(const QString &name, int side, Tone tone);
// `widget` centred in a row of its own, so a wrapping text gets its height for
// the width it really has.
QHBoxLayout *centredRow(QWidget *widget);

} // namespace vima::onboarding
