#pragma once

#include "model/RingItem.h"
#include "ring/RingFrame.h"

#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

class QPainter;

namespace vima {

// Paints one frame of the ring, back to front: dimming, the parent ring's
// trace, the tiles, the centre disc, the hover label and the captions.
class RingPainter {
public:
    // The caption under the ring: page title (or the frontmost application's
    // ring name) and page dots.
    struct PageRow {
        QRectF rect;
        QString title;
        QRectF titleRect;
        std::optional<QRectF> appIconRect;
        QList<QRectF> dotFrames; // 15 × 15, each takes clicks
    };

    explicit RingPainter(const RingFrame &frame);

    void paint(QPainter &painter) const;

    std::optional<PageRow> pageRow() const;
    // Items of the ring on screen, by slot.
    const QList<std::optional<RingItem>> &items() const { return items_; }
    // Whether slot `slot` has a tile: inside a pack, empty slots have none.
    bool hasTile(int slot) const;
    // Everything this ring may draw at its level, whichever slot is
    // highlighted: the dimming, the tiles with their shadows, every hover
    // label and the captions.
    QRectF extent() const;

    static QFont systemFont(double pixelSize, QFont::Weight weight);

private:
    void paintDimming(QPainter &painter) const;
    void paintTrace(QPainter &painter) const;
    double activeness(int slot) const;
    void paintTiles(QPainter &painter) const;
    void paintSlot(QPainter &painter, int slot) const;
    void paintFilledTile(QPainter &painter, const RingItem &item, QPointF centre, double active) const;
    void paintEmptyTile(QPainter &painter, QPointF centre, double active) const;
    void paintHoverLabel(QPainter &painter, int slot) const;
    void paintCentreDisc(QPainter &painter) const;
    void paintPageRow(QPainter &painter) const;
    void paintBreadcrumb(QPainter &painter) const;
    std::optional<QString> breadcrumb() const;
    QRectF breadcrumbRect(const QString &text) const;
    struct HoverLabel {
        QFont font;
        QString title; // cut to what fits the rect
        bool opensPack = false;
        QRectF rect;
    };
    HoverLabel hoverLabel(int slot, double tileRadius) const;
    static void paintCaptionBackground(QPainter &painter, const QRectF &rect);

    const RingFrame &frame_;
    QList<std::optional<RingItem>> items_;
};

} // namespace vima
