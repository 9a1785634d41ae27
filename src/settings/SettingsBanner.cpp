#include "settings/SettingsBanner.h"

#include "settings/kit/SettingsLooks.h"
#include "settings/kit/ShownName.h"
#include "ui/Palette.h"

#include <QHBoxLayout>
#include <QPainter>

namespace vima {

SettingsBanner::SettingsBanner(QWidget *parent) : QWidget(parent), text_(new ToneLabel(Tone::label))
{
    setObjectName(QStringLiteral("banner"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    text_->setWordWrap(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(new SymbolIcon(QStringLiteral("exclamationmark.triangle.fill"), Tone::warning, 14));
    layout->addWidget(text_, 1);
}

void SettingsBanner::setText(const QString &text)
{
    const QString shown = shownMessage(text);
    text_->setText(shown);
    setAccessibleName(shown);
}

QString SettingsBanner::text() const { return text_->text(); }

void SettingsBanner::paintEvent(QPaintEvent *)
{
    QColor band = Palette::orange();
    band.setAlphaF(0.12f);
    QPainter(this).fillRect(rect(), band);
}

} // namespace vima
