#pragma once

// Icons, texts and fonts for menus, icon-only buttons and painted rows.
//
//     menu->addAction(symbolIcon("checkmark"), menuText(ring.name));   // "A&B" shows as "A&B"
//     button->setIcon(symbolIcon("ellipsis", Tone::secondary, 15));

#include "model/IconSpec.h"
#include "settings/kit/SettingsLooks.h"

#include <QFont>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <functional>

class QAbstractButton;
class QMenu;

namespace vima {

class AppIconCache;

// A user's text as a QAction or button text: '&' is doubled so it shows
// instead of marking a mnemonic.
QString menuText(const QString &text);
// A system symbol as an icon, `points` of the other platform large.
QIcon symbolIcon(const QString &name, Tone tone = Tone::label, double points = 13);
// Sets `button`'s icon to a symbol, re-tinted when the theme changes.
void setSymbolIcon(QAbstractButton *button, const QString &name, Tone tone = Tone::label, double points = 13);
// One entry per symbol name, drawn with its symbol ("circle" for one the
// system lacks) and re-tinted when the theme changes; choosing one calls
// `choose` with its name.
void addSymbolEntries(QMenu *menu, const QStringList &names, const std::function<void(const QString &)> &choose);
// A menu of many entries scrolls inside `maxHeight` instead of growing to
// the screen's height and breaking into columns.
void scrollWhenLong(QMenu *menu, int maxHeight);
// A slot's or ring's icon, as IconView draws it.
QIcon specIcon(const IconSpec &icon, double points, const AppIconCache *appIcons, Tone tone = Tone::secondary);

} // namespace vima
