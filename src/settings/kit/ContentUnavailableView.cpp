#include "settings/kit/ContentUnavailableView.h"

#include "settings/kit/SettingsLooks.h"

#include <QVBoxLayout>

namespace vima {

ContentUnavailableView::ContentUnavailableView(const QString &title, const QString &symbol,
                                               const QString &description, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    auto *icon = new SymbolIcon(symbol, Tone::tertiary, 40);
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    auto *heading = new ToneLabel(Tone::label, title);
    heading->setFont(headlineFont());
    heading->setAlignment(Qt::AlignHCenter);
    layout->addWidget(heading);
    auto *text = caption(description);
    text->setAlignment(Qt::AlignHCenter);
    layout->addWidget(text);
    layout->addStretch();
    setAccessibleName(title);
    setAccessibleDescription(description);
}

} // namespace vima
