#include "settings/kit/ItemLooks.h"

#include "model/SavedGroup.h"
#include "settings/kit/IconTile.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/kit/ShownName.h"

#include <QHBoxLayout>

namespace vima {

QLabel *sectionCaption(const QString &text)
{
    auto *label = new ToneLabel(Tone::tertiary, text.toUpper());
    label->setFont(pointFont(10, QFont::DemiBold));
    label->setContentsMargins(12, 8, 12, 3);
    return label;
}

void savedPackLabel(QHBoxLayout *row, const SavedGroup &pack, const AppIconCache *appIcons)
{
    auto *icon = new IconTile({.side = 18, .radius = 0, .iconSize = 13, .fill = [] { return QColor(Qt::transparent); },
                               .bordered = false, .ink = Tone::secondary},
                              appIcons);
    icon->setIcon(pack.icon);
    auto *name = new ToneLabel(Tone::label, shownName(pack.name));
    row->addWidget(icon);
    row->addWidget(name);
    row->addStretch(1);
}

} // namespace vima
