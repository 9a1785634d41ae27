#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

namespace vima {

// The system symbols by name ("sparkles", "chevron.backward" ...), drawn with
// the bundled Lucide icons through one table.
class SymbolCatalog {
public:
    enum class Weight { regular, medium, semibold, bold };

    static inline const QString unknownSymbol = QStringLiteral("questionmark.square.dashed");
    static inline const QString missingApp = QStringLiteral("app.dashed");

    static bool knows(const QString &name);
    // Every symbol name in the table.
    static QStringList names();
    // The Qt resource path of the icon that draws `name`; empty when unknown.
    static QString resourcePath(const QString &name);

    // `name` (or the unknown-symbol fallback) in a square of `side` device
    // pixels, tinted with `ink`, its alpha included. Cached per arguments.
    static QImage image(const QString &name, int side, const QColor &ink, Weight weight);
};

} // namespace vima
