#include "settings/kit/MenuLooks.h"

#include "ui/FollowPalette.h"
#include "ui/IconView.h"
#include "ui/SymbolCatalog.h"

#include <QAbstractButton>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <cmath>

namespace vima {

namespace {

constexpr int renderScale = 2; // sharp on scaled screens too

class ScrollingMenuStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *data) const override
    {
        return hint == SH_Menu_Scrollable ? 1 : QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

QString menuText(const QString &text)
{
    QString doubled = text;
    return doubled.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QIcon symbolIcon(const QString &name, Tone tone, double points)
{
    const int side = int(std::ceil(IconView::symbolSide(points))) * renderScale;
    QPixmap pixmap = QPixmap::fromImage(SymbolCatalog::image(name, side, toneColor(tone), SymbolCatalog::Weight::medium));
    pixmap.setDevicePixelRatio(renderScale);
    return QIcon(pixmap);
}

void addSymbolEntries(QMenu *menu, const QStringList &names, const std::function<void(const QString &)> &choose)
{
    QList<QAction *> entries;
    for (const QString &name : names) {
        QAction *entry = menu->addAction(name);
        QObject::connect(entry, &QAction::triggered, menu, [choose, name] { choose(name); });
        entries.append(entry);
    }
    followPalette(menu, [entries, names] {
        for (qsizetype i = 0; i < entries.size(); ++i)
            entries[i]->setIcon(symbolIcon(SymbolCatalog::knows(names[i]) ? names[i] : QStringLiteral("circle")));
    });
}

void scrollWhenLong(QMenu *menu, int maxHeight)
{
    auto *style = new ScrollingMenuStyle;
    style->setParent(menu);
    menu->setStyle(style);
    menu->setMaximumHeight(maxHeight);
}

void setSymbolIcon(QAbstractButton *button, const QString &name, Tone tone, double points)
{
    followPalette(button, [button, name, tone, points] { button->setIcon(symbolIcon(name, tone, points)); });
}

QIcon specIcon(const IconSpec &icon, double points, const AppIconCache *appIcons, Tone tone)
{
    const IconView view{icon, points, appIcons};
    const double side = std::ceil(std::max(view.appIconSide(), IconView::symbolSide(points)));
    QPixmap pixmap(int(side) * renderScale, int(side) * renderScale);
    pixmap.setDevicePixelRatio(renderScale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    view.paint(painter, QPointF(side / 2, side / 2), toneColor(tone));
    painter.end();
    return QIcon(pixmap);
}

} // namespace vima
