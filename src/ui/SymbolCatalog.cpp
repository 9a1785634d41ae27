#include "ui/SymbolCatalog.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

static void initIconResources() { Q_INIT_RESOURCE(icons); }

namespace vima {

namespace {

// Symbol name -> Lucide icon (resources/icons/lucide/<icon>.svg).
const QHash<QString, QString> &table()
{
    static const QHash<QString, QString> symbols = {
        {QStringLiteral("app"), QStringLiteral("square")},
        {QStringLiteral("app.badge"), QStringLiteral("square-dot")},
        {QStringLiteral("app.dashed"), QStringLiteral("square-dashed")},
        {QStringLiteral("app.gift"), QStringLiteral("gift")},
        {QStringLiteral("applescript"), QStringLiteral("scroll")},
        {QStringLiteral("arrow.clockwise"), QStringLiteral("rotate-cw")},
        {QStringLiteral("arrow.down.circle"), QStringLiteral("circle-arrow-down")},
        {QStringLiteral("arrow.down.right.and.arrow.up.left"), QStringLiteral("minimize-2")},
        {QStringLiteral("arrow.left.arrow.right"), QStringLiteral("arrow-left-right")},
        {QStringLiteral("arrow.up.arrow.down"), QStringLiteral("arrow-up-down")},
        {QStringLiteral("arrow.up.left.and.arrow.down.right"), QStringLiteral("maximize-2")},
        {QStringLiteral("arrow.uturn.left.square"), QStringLiteral("rotate-ccw-square")},
        {QStringLiteral("arrowshape.turn.up.left"), QStringLiteral("reply")},
        {QStringLiteral("asterisk"), QStringLiteral("asterisk")},
        {QStringLiteral("bolt"), QStringLiteral("zap")},
        {QStringLiteral("bolt.fill"), QStringLiteral("zap")},
        {QStringLiteral("book"), QStringLiteral("book-open")},
        {QStringLiteral("bookmark"), QStringLiteral("bookmark")},
        {QStringLiteral("briefcase"), QStringLiteral("briefcase")},
        {QStringLiteral("bubble.left.and.text.bubble.right"), QStringLiteral("messages-square")},
        {QStringLiteral("camera"), QStringLiteral("camera")},
        {QStringLiteral("camera.viewfinder"), QStringLiteral("scan")},
        {QStringLiteral("character.book.closed"), QStringLiteral("book-a")},
        {QStringLiteral("character.bubble"), QStringLiteral("languages")},
        {QStringLiteral("checklist"), QStringLiteral("list-checks")},
        {QStringLiteral("checkmark"), QStringLiteral("check")},
        {QStringLiteral("checkmark.circle"), QStringLiteral("circle-check")},
        {QStringLiteral("checkmark.circle.fill"), QStringLiteral("circle-check")},
        {QStringLiteral("checkmark.diamond"), QStringLiteral("badge-check")},
        {QStringLiteral("chevron.backward"), QStringLiteral("chevron-left")},
        {QStringLiteral("chevron.down"), QStringLiteral("chevron-down")},
        {QStringLiteral("chevron.left"), QStringLiteral("chevron-left")},
        {QStringLiteral("chevron.left.forwardslash.chevron.right"), QStringLiteral("code")},
        {QStringLiteral("chevron.right"), QStringLiteral("chevron-right")},
        {QStringLiteral("circle"), QStringLiteral("circle")},
        {QStringLiteral("circle.fill"), QStringLiteral("circle")},
        {QStringLiteral("circle.grid.cross"), QStringLiteral("component")},
        {QStringLiteral("circle.hexagongrid.circle"), QStringLiteral("hexagon")},
        {QStringLiteral("circle.lefthalf.filled"), QStringLiteral("contrast")},
        {QStringLiteral("clipboard"), QStringLiteral("clipboard")},
        {QStringLiteral("clock.arrow.circlepath"), QStringLiteral("history")},
        {QStringLiteral("cloud"), QStringLiteral("cloud")},
        {QStringLiteral("curlybraces"), QStringLiteral("braces")},
        {QStringLiteral("cursorarrow.click"), QStringLiteral("mouse-pointer-click")},
        {QStringLiteral("desktopcomputer"), QStringLiteral("monitor")},
        {QStringLiteral("doc.on.doc"), QStringLiteral("copy")},
        {QStringLiteral("doc.plaintext"), QStringLiteral("file-text")},
        {QStringLiteral("doc.richtext"), QStringLiteral("file-image")},
        {QStringLiteral("ellipsis"), QStringLiteral("ellipsis")},
        {QStringLiteral("ellipsis.circle"), QStringLiteral("circle-ellipsis")},
        {QStringLiteral("envelope"), QStringLiteral("mail")},
        {QStringLiteral("exclamationmark.circle.fill"), QStringLiteral("circle-alert")},
        {QStringLiteral("exclamationmark.octagon.fill"), QStringLiteral("octagon-alert")},
        {QStringLiteral("exclamationmark.shield"), QStringLiteral("shield-alert")},
        {QStringLiteral("exclamationmark.triangle"), QStringLiteral("triangle-alert")},
        {QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("triangle-alert")},
        {QStringLiteral("eyedropper"), QStringLiteral("pipette")},
        {QStringLiteral("eyeglasses"), QStringLiteral("glasses")},
        {QStringLiteral("figure.stand"), QStringLiteral("person-standing")},
        {QStringLiteral("flag"), QStringLiteral("flag")},
        {QStringLiteral("folder"), QStringLiteral("folder")},
        {QStringLiteral("folder.badge.plus"), QStringLiteral("folder-plus")},
        {QStringLiteral("gearshape"), QStringLiteral("settings")},
        {QStringLiteral("globe"), QStringLiteral("globe")},
        {QStringLiteral("hand.draw"), QStringLiteral("signature")},
        {QStringLiteral("hand.point.up.left.fill"), QStringLiteral("pointer")},
        {QStringLiteral("hand.wave"), QStringLiteral("hand")},
        {QStringLiteral("heart"), QStringLiteral("heart")},
        {QStringLiteral("house"), QStringLiteral("house")},
        {QStringLiteral("info.circle"), QStringLiteral("info")},
        {QStringLiteral("key"), QStringLiteral("key")},
        {QStringLiteral("keyboard"), QStringLiteral("keyboard")},
        {QStringLiteral("keyboard.badge.exclamationmark"), QStringLiteral("keyboard-off")},
        {QStringLiteral("largecircle.fill.circle"), QStringLiteral("circle-dot")},
        {QStringLiteral("lightbulb"), QStringLiteral("lightbulb")},
        {QStringLiteral("link"), QStringLiteral("link")},
        {QStringLiteral("list.bullet"), QStringLiteral("list")},
        {QStringLiteral("list.number"), QStringLiteral("list-ordered")},
        {QStringLiteral("lock.fill"), QStringLiteral("lock")},
        {QStringLiteral("lock.shield"), QStringLiteral("shield-lock")},
        {QStringLiteral("lock.shield.fill"), QStringLiteral("shield-lock")},
        {QStringLiteral("macwindow"), QStringLiteral("app-window-mac")},
        {QStringLiteral("macwindow.badge.plus"), QStringLiteral("app-window-mac-plus")},
        {QStringLiteral("magnifyingglass"), QStringLiteral("search")},
        {QStringLiteral("minus"), QStringLiteral("minus")},
        {QStringLiteral("minus.circle"), QStringLiteral("circle-minus")},
        {QStringLiteral("moon"), QStringLiteral("moon")},
        {QStringLiteral("network"), QStringLiteral("network")},
        {QStringLiteral("paintbrush"), QStringLiteral("paintbrush")},
        {QStringLiteral("paintbrush.pointed"), QStringLiteral("brush")},
        {QStringLiteral("paperplane"), QStringLiteral("send")},
        {QStringLiteral("pencil.line"), QStringLiteral("pencil-line")},
        {QStringLiteral("photo.badge.arrow.down"), QStringLiteral("image-down")},
        {QStringLiteral("play.rectangle"), QStringLiteral("rectangle-horizontal-play")},
        {QStringLiteral("plus"), QStringLiteral("plus")},
        {QStringLiteral("plus.square"), QStringLiteral("square-plus")},
        {QStringLiteral("questionmark.bubble"), QStringLiteral("message-circle-question-mark")},
        {QStringLiteral("questionmark.circle"), QStringLiteral("circle-question-mark")},
        {QStringLiteral("questionmark.square.dashed"), QStringLiteral("badge-question-mark")},
        {QStringLiteral("scroll"), QStringLiteral("scroll")},
        {QStringLiteral("slider.horizontal.3"), QStringLiteral("sliders-horizontal")},
        {QStringLiteral("sparkles"), QStringLiteral("sparkles")},
        {QStringLiteral("sparkles.rectangle.stack"), QStringLiteral("layers")},
        {QStringLiteral("square.grid.2x2"), QStringLiteral("layout-grid")},
        {QStringLiteral("square.grid.2x2.fill"), QStringLiteral("layout-grid")},
        {QStringLiteral("square.grid.3x3"), QStringLiteral("grid-3x3")},
        {QStringLiteral("square.on.square.dashed"), QStringLiteral("square-stack")},
        {QStringLiteral("star"), QStringLiteral("star")},
        {QStringLiteral("tablecells"), QStringLiteral("table")},
        {QStringLiteral("tablecells.badge.ellipsis"), QStringLiteral("table-properties")},
        {QStringLiteral("tag"), QStringLiteral("tag")},
        {QStringLiteral("terminal"), QStringLiteral("square-terminal")},
        {QStringLiteral("text.append"), QStringLiteral("list-plus")},
        {QStringLiteral("text.badge.checkmark"), QStringLiteral("spell-check")},
        {QStringLiteral("text.below.photo"), QStringLiteral("captions")},
        {QStringLiteral("text.bubble"), QStringLiteral("message-square-text")},
        {QStringLiteral("text.cursor"), QStringLiteral("text-cursor")},
        {QStringLiteral("text.line.first.and.arrowtriangle.forward"), QStringLiteral("text-align-start")},
        {QStringLiteral("text.quote"), QStringLiteral("text-quote")},
        {QStringLiteral("textformat.size"), QStringLiteral("a-large-small")},
        {QStringLiteral("timer"), QStringLiteral("timer")},
        {QStringLiteral("trash"), QStringLiteral("trash-2")},
        {QStringLiteral("wand.and.sparkles"), QStringLiteral("wand-sparkles")},
        {QStringLiteral("waveform"), QStringLiteral("audio-waveform")},
        {QStringLiteral("wifi"), QStringLiteral("wifi")},
        {QStringLiteral("xmark"), QStringLiteral("x")},
        {QStringLiteral("xmark.circle.fill"), QStringLiteral("circle-x")},
    };
    return symbols;
}

QString strokeWidth(SymbolCatalog::Weight weight)
{
    switch (weight) {
    case SymbolCatalog::Weight::regular: return QStringLiteral("1.75");
    case SymbolCatalog::Weight::medium: return QStringLiteral("2");
    case SymbolCatalog::Weight::semibold: return QStringLiteral("2.3");
    case SymbolCatalog::Weight::bold: return QStringLiteral("2.6");
    }
    return QStringLiteral("2");
}

QByteArray source(const QString &path)
{
    static QHash<QString, QByteArray> sources;
    auto it = sources.find(path);
    if (it == sources.end()) {
        initIconResources();
        QFile file(path);
        it = sources.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return *it;
}

QImage renderTinted(const QString &path, int side, const QColor &ink, SymbolCatalog::Weight weight)
{
    QString svg = QString::fromUtf8(source(path));
    svg.replace(QStringLiteral("currentColor"), ink.name(QColor::HexRgb));
    svg.replace(QStringLiteral("stroke-width=\"2\""),
                QStringLiteral("stroke-width=\"%1\"").arg(strokeWidth(weight)));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(svg.toUtf8());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, side, side));
    // The SVG takes no alpha in its colour; scale the drawn coverage by the ink's.
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.fillRect(image.rect(), QColor(0, 0, 0, ink.alpha()));
    return image;
}

} // namespace

bool SymbolCatalog::knows(const QString &name) { return table().contains(name); }

QStringList SymbolCatalog::names() { return table().keys(); }

QString SymbolCatalog::resourcePath(const QString &name)
{
    const auto it = table().constFind(name);
    return it == table().constEnd() ? QString() : QStringLiteral(":/icons/lucide/%1.svg").arg(*it);
}

QImage SymbolCatalog::image(const QString &name, int side, const QColor &ink, Weight weight)
{
    const QString path = resourcePath(knows(name) ? name : unknownSymbol);
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(path)
                            .arg(side)
                            .arg(ink.rgba(), 0, 16)
                            .arg(static_cast<int>(weight));
    static QHash<QString, QImage> cache;
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, renderTinted(path, std::max(side, 1), ink, weight));
    return *it;
}

} // namespace vima
