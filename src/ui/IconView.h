#pragma once

#include "model/IconSpec.h"
#include "ui/SymbolCatalog.h"

#include <QColor>
#include <QIcon>
#include <QPointF>
#include <QSizeF>

class QPainter;

namespace vima {

class AppIconCache;

// Draws a slot's icon: a system symbol, an emoji, or an installed
// application's icon from `appIcons` (none: the missing-application symbol;
// nothing while it loads).
struct IconView {
    IconSpec icon;
    double size = 0; // points: font size of symbols and emoji
    const AppIconCache *appIcons = nullptr;

    // Paints the icon centred on `centre`; symbols take `ink`, including its
    // alpha.
    void paint(QPainter &painter, QPointF centre, const QColor &ink,
               SymbolCatalog::Weight weight = SymbolCatalog::Weight::medium) const;
    // The square an application icon fills: size + 6 points.
    double appIconSide() const { return size + 6; }

    // A symbol's square in points for a font size: glyphs are a little larger
    // than the font size.
    static double symbolSide(double fontSize) { return fontSize * 1.2; }
    static void paintSymbol(QPainter &painter, const QString &name, QPointF centre, double fontSize,
                            const QColor &ink, SymbolCatalog::Weight weight);
    static void paintEmoji(QPainter &painter, const QString &text, QPointF centre, double fontSize);
};

} // namespace vima
