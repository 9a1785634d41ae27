#include "ring/RingPainter.h"

#include "ring/DiscSprite.h"
#include "ui/BandedBlit.h"
#include "ui/IconView.h"
#include "ui/Palette.h"
#include "ring/RingText.h"
#include "ring/RingViewModel.h"
#include "ring/SoftShadow.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace vima {

namespace {

constexpr double captionFontSize = 10;
constexpr double labelFontSize = 12;
constexpr double dotFrame = 15;
constexpr double dotSize = 6;
constexpr double dotSpacing = 2;
constexpr double rowSpacing = 8;
constexpr int colourSteps = 8; // tile colours are blended in steps so that icon images stay cached

QColor black(double alpha) { return QColor::fromRgbF(0, 0, 0, float(alpha)); }
QColor white(double alpha) { return QColor::fromRgbF(1, 1, 1, float(alpha)); }

QColor blend(const QColor &from, const QColor &to, double amount)
{
    const auto lerp = [amount](float a, float b) { return a + (b - a) * float(amount); };
    return QColor::fromRgbF(lerp(from.redF(), to.redF()), lerp(from.greenF(), to.greenF()),
                            lerp(from.blueF(), to.blueF()), lerp(from.alphaF(), to.alphaF()));
}

double stepped(double amount) { return std::round(std::clamp(amount, 0.0, 1.0) * colourSteps) / colourSteps; }

QRectF circleAt(QPointF centre, double diameter)
{
    return QRectF(centre.x() - diameter / 2, centre.y() - diameter / 2, diameter, diameter);
}

QRectF centredRect(QPointF centre, QSizeF size)
{
    return QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height());
}

double pixelRatio(const QPainter &painter)
{
    const QPaintDevice *device = painter.device();
    return device ? device->devicePixelRatioF() : 1.0;
}

// The backdrop's radial gradient, rendered once per radius and pixel ratio.
QImage dimmingImage(double radius, double ratio)
{
    static QHash<QString, QImage> cache;
    const QString key = QStringLiteral("%1@%2").arg(radius, 0, 'f', 1).arg(ratio, 0, 'f', 2);
    auto it = cache.find(key);
    if (it != cache.end())
        return *it;
    // A soft gradient loses nothing when a huge ring's is drawn enlarged.
    const int side = static_cast<int>(std::ceil(std::min(2 * radius * ratio, 2048.0)));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QRadialGradient gradient(QPointF(side / 2.0, side / 2.0), side / 2.0);
    gradient.setColorAt(0, black(0.32));
    gradient.setColorAt(0.5, black(0.22));
    gradient.setColorAt(1, black(0));
    painter.fillRect(image.rect(), gradient);
    painter.end();
    image.setDevicePixelRatio(ratio);
    return *cache.insert(key, image);
}

} // namespace

RingPainter::RingPainter(const RingFrame &frame)
    : frame_(frame)
{
    const Ring ring = frame.model->currentRing();
    const int count = frame.model->effectiveSlotCount();
    items_.reserve(count);
    for (int slot = 0; slot < count; ++slot)
        items_.append(ring.itemInSlot(slot));
}

QFont RingPainter::systemFont(double pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setWeight(weight);
    return font;
}

bool RingPainter::hasTile(int slot) const
{
    return slot >= 0 && slot < items_.size() && (items_.at(slot) || frame_.model->stack().size() < 2);
}

void RingPainter::paint(QPainter &painter) const
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    if (!frame_.isPreview)
        paintDimming(painter);

    const QPointF centre = frame_.layout.geometry.center;
    const double scale = 0.86 + 0.14 * frame_.presented;
    painter.setOpacity(std::clamp(frame_.presented, 0.0, 1.0));
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.translate(-centre);

    paintTrace(painter);
    paintTiles(painter);
    paintCentreDisc(painter);
    // Over the disc: a label moved off the screen's edge may cross the ring.
    for (int slot = 0; slot < items_.size(); ++slot)
        paintHoverLabel(painter, slot);
    paintPageRow(painter);
    paintBreadcrumb(painter);
    painter.restore();
}

void RingPainter::paintDimming(QPainter &painter) const
{
    if (frame_.dimming <= 0.001)
        return;
    const double radius = frame_.layout.dimmingRadius();
    if (!(radius > 0) || !std::isfinite(radius))
        return;
    const double ratio = pixelRatio(painter);
    const QImage image = dimmingImage(radius, ratio);
    const QRectF target = circleAt(frame_.layout.geometry.center, 2 * radius);
    painter.save();
    painter.setOpacity(std::clamp(frame_.dimming, 0.0, 1.0));
    if (image.width() < 2 * radius * ratio) {
        painter.drawImage(target, image); // a huge ring's, enlarged
    } else {
        // At its own size on whole device pixels: a plain blit, where a
        // fraction of a pixel off would resample the whole gradient.
        const QPointF device = painter.deviceTransform().map(target.topLeft());
        const QPointF aligned(std::round(device.x()), std::round(device.y()));
        drawImageInBands(painter, target.topLeft() + (aligned - device) / ratio, image);
    }
    painter.restore();
}

void RingPainter::paintTrace(QPainter &painter) const
{
    if (!frame_.model->parentRing())
        return;
    const double diameter = frame_.layout.parentTraceDiameter();
    painter.setPen(QPen(white(0.18), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circleAt(frame_.layout.geometry.center, diameter - 1));
}

double RingPainter::activeness(int slot) const
{
    return slot >= 0 && slot < int(frame_.activeness.size()) ? frame_.activeness[size_t(slot)] : 0.0;
}

void RingPainter::paintTiles(QPainter &painter) const
{
    QList<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    // Crowded rings overlap their tiles: the highlighted ones go on top.
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return activeness(a) < activeness(b); });
    for (const int slot : order)
        paintSlot(painter, slot);
}

void RingPainter::paintSlot(QPainter &painter, int slot) const
{
    if (!hasTile(slot))
        return;
    const QPointF centre = frame_.layout.tileCentre(slot, frame_.tileRadius);
    const double active = activeness(slot);
    const double scale = 1 + (RingLayout::activeScale - 1) * active;
    painter.save();
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.translate(-centre);
    if (const auto &item = items_.at(slot))
        paintFilledTile(painter, *item, centre, active);
    else
        paintEmptyTile(painter, centre, active);
    painter.restore();
}

void RingPainter::paintFilledTile(QPainter &painter, const RingItem &item, QPointF centre, double active) const
{
    const double step = stepped(active);
    DiscSprite tile{frame_.layout.tileSize, blend(frame_.style.discFill, frame_.style.activeFill, step),
                    black(0.06 * (1 - step)), false,
                    {DiscSprite::Shadow{0.20 * (1 - step), 9, QPointF(0, 4)},
                     DiscSprite::Shadow{0.32 * step, 15, QPointF(0, 6)}}};
    tile.paint(painter, centre);
    const QColor ink = blend(frame_.style.discInk, frame_.style.activeInk, step);
    IconView{item.icon, frame_.layout.tileSize * 0.4, frame_.appIcons}.paint(painter, centre, ink);
}

void RingPainter::paintEmptyTile(QPainter &painter, QPointF centre, double active) const
{
    const double side = frame_.layout.tileSize;
    const RingStyle &style = frame_.style;
    QColor fill = style.emptyFill;
    fill.setAlphaF(std::min(1.0f, fill.alphaF() + float(0.14 * stepped(active))));
    const DiscSprite tile{side, fill, style.emptyBorder, true,
                          {DiscSprite::Shadow{0.12, 5, QPointF(0, 2)}, DiscSprite::Shadow{}}};
    tile.paint(painter, centre);
    IconView::paintSymbol(painter, QStringLiteral("plus"), centre, side * 0.25, style.emptyPlus,
                          SymbolCatalog::Weight::semibold);
}

void RingPainter::paintHoverLabel(QPainter &painter, int slot) const
{
    const double active = activeness(slot);
    if (active <= 0.01 || !items_.at(slot))
        return;
    const HoverLabel label = hoverLabel(slot, frame_.tileRadius);
    const QRectF &rect = label.rect;

    painter.save();
    painter.setOpacity(painter.opacity() * std::clamp(active, 0.0, 1.0));
    const double radius = rect.height() / 2;
    SoftShadow::paint(painter, rect, radius, 0.22, 9, QPointF(0, 3));
    painter.setPen(Qt::NoPen);
    painter.setBrush(frame_.style.discFill);
    painter.drawRoundedRect(rect, radius, radius);
    painter.setFont(label.font);
    painter.setPen(frame_.style.discInk);
    const double textWidth = QFontMetricsF(label.font).horizontalAdvance(label.title);
    const QRectF textRect(rect.left() + RingLayout::labelPadding, rect.top(), textWidth + 1, rect.height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label.title);
    if (label.opensPack) {
        QColor ink = frame_.style.discInk;
        ink.setAlphaF(0.5f);
        const QPointF chevron(textRect.left() + textWidth + 4 + IconView::symbolSide(8) / 2, rect.center().y());
        IconView::paintSymbol(painter, QStringLiteral("chevron.right"), chevron, 8, ink, SymbolCatalog::Weight::bold);
    }
    painter.restore();
}

void RingPainter::paintCentreDisc(QPainter &painter) const
{
    const QPointF centre = frame_.layout.geometry.center;
    const DiscSprite disc{RingLayout::discDiameter, frame_.style.activeFill, Qt::transparent, false,
                          {DiscSprite::Shadow{0.28, 16, QPointF(0, 6)}, DiscSprite::Shadow{}}};
    disc.paint(painter, centre);
    const bool nested = frame_.model->stack().size() > 1;
    IconView::paintSymbol(painter, nested ? QStringLiteral("chevron.backward") : QStringLiteral("sparkles"), centre,
                          nested ? 16 : 19, frame_.style.activeInk, SymbolCatalog::Weight::medium);
}

std::optional<RingPainter::PageRow> RingPainter::pageRow() const
{
    const RingViewModel &model = *frame_.model;
    const auto app = model.visibleContextApp();
    const bool dots = model.canFlipPages();
    if (!dots && !app)
        return std::nullopt;

    PageRow row;
    const QFont font = systemFont(captionFontSize, QFont::Medium);
    row.title = RingText::elided(app ? app->name + QStringLiteral(" ring") : model.currentPageTitle(), font);
    const QFontMetricsF metrics(font);
    const double iconSide = app ? IconView{IconSpec::appIcon(app->bundleID), 8}.appIconSide() : 0;
    const double titleWidth = (app ? iconSide + 4 : 0) + metrics.horizontalAdvance(row.title);
    const int dotCount = dots ? int(model.pages().size()) : 0;
    const double dotsWidth = dotCount > 0 ? dotCount * dotFrame + (dotCount - 1) * dotSpacing : 0;
    const double contentHeight = std::max(metrics.height(), dots ? dotFrame : 0.0);
    const double right = dots ? 6 : 10;
    const double width = 10 + titleWidth + (dots ? rowSpacing + dotsWidth : 0) + right;
    row.rect = centredRect(frame_.layout.pageRowCentre(), QSizeF(width, contentHeight + 6));

    double x = row.rect.left() + 10;
    const double midY = row.rect.center().y();
    if (app) {
        row.appIconRect = QRectF(x, midY - iconSide / 2, iconSide, iconSide);
        x += iconSide + 4;
    }
    const double textWidth = metrics.horizontalAdvance(row.title);
    row.titleRect = QRectF(x, midY - metrics.height() / 2, textWidth + 1, metrics.height());
    x += textWidth + rowSpacing;
    for (int i = 0; i < dotCount; ++i)
        row.dotFrames.append(QRectF(x + i * (dotFrame + dotSpacing), midY - dotFrame / 2, dotFrame, dotFrame));
    return row;
}

void RingPainter::paintCaptionBackground(QPainter &painter, const QRectF &rect)
{
    const double radius = rect.height() / 2;
    SoftShadow::paint(painter, rect, radius, 0.12, 6, QPointF(0, 2));
    QColor material = Palette::windowBackground();
    material.setAlphaF(0.86f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(material);
    painter.drawRoundedRect(rect, radius, radius);
    painter.setPen(QPen(Palette::separator(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
}

void RingPainter::paintPageRow(QPainter &painter) const
{
    const auto row = pageRow();
    if (!row)
        return;
    paintCaptionBackground(painter, row->rect);
    if (row->appIconRect) {
        const auto app = frame_.model->visibleContextApp();
        IconView{IconSpec::appIcon(app->bundleID), 8, frame_.appIcons}.paint(painter, row->appIconRect->center(),
                                                             Palette::secondaryLabel());
    }
    painter.setFont(systemFont(captionFontSize, QFont::Medium));
    painter.setPen(Palette::secondaryLabel());
    painter.drawText(row->titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, row->title);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < row->dotFrames.size(); ++i) {
        painter.setBrush(i == frame_.model->pageIndex() ? Palette::label() : Palette::tertiaryLabel());
        painter.drawEllipse(circleAt(row->dotFrames.at(i).center(), dotSize));
    }
}

std::optional<QString> RingPainter::breadcrumb() const
{
    const auto text = frame_.model->breadcrumb();
    if (!text)
        return std::nullopt;
    return RingText::elided(*text, systemFont(captionFontSize, QFont::Medium));
}

QRectF RingPainter::breadcrumbRect(const QString &text) const
{
    const QFontMetricsF metrics(systemFont(captionFontSize, QFont::Medium));
    const QSizeF size(metrics.horizontalAdvance(text) + 18, metrics.height() + 8);
    return centredRect(frame_.layout.breadcrumbCentre(), size);
}

void RingPainter::paintBreadcrumb(QPainter &painter) const
{
    const auto text = breadcrumb();
    if (!text)
        return;
    const QRectF rect = breadcrumbRect(*text);
    paintCaptionBackground(painter, rect);
    painter.setFont(systemFont(captionFontSize, QFont::Medium));
    painter.setPen(Palette::secondaryLabel());
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, *text);
}

RingPainter::HoverLabel RingPainter::hoverLabel(int slot, double tileRadius) const
{
    const RingItem &item = *items_.at(slot);
    HoverLabel label{systemFont(labelFontSize, QFont::Medium), {}, item.action.kind() == ItemAction::Kind::openRing, {}};
    const QFontMetricsF metrics(label.font);
    label.title = RingText::elided(item.title, label.font);
    const double chrome = (label.opensPack ? 4 + IconView::symbolSide(8) : 0) + 2 * RingLayout::labelPadding;
    const double width = metrics.horizontalAdvance(label.title) + chrome;
    const QPointF tile = frame_.layout.tileCentre(slot, tileRadius);
    label.rect = frame_.layout.hoverLabelRect(frame_.layout.slotAngle(slot), tile, width, frame_.style.labelGap);
    if (label.rect.width() < width)
        label.title = metrics.elidedText(label.title, Qt::ElideRight, label.rect.width() - chrome, Qt::TextSingleLine);
    return label;
}

QRectF RingPainter::extent() const
{
    // Room for the largest shadow, and for the show animation's overshoot.
    constexpr double shadowReach = 30;
    const RingLayout &layout = frame_.layout;
    const QPointF centre = layout.geometry.center;
    const double tiles = layout.tileRadius() + layout.tileSize / 2 * RingLayout::activeScale + shadowReach;
    QRectF bounds = circleAt(centre, 2 * std::max(tiles, RingLayout::discDiameter / 2 + shadowReach));
    if (!frame_.isPreview && std::isfinite(layout.dimmingRadius()))
        bounds |= circleAt(centre, 2 * layout.dimmingRadius());
    const auto grow = [](const QRectF &rect) { return rect.adjusted(-shadowReach, -shadowReach, shadowReach, shadowReach); };
    for (int slot = 0; slot < items_.size(); ++slot) {
        if (items_.at(slot))
            bounds |= grow(hoverLabel(slot, layout.tileRadius()).rect);
    }
    if (const auto row = pageRow())
        bounds |= grow(row->rect);
    if (const auto crumb = breadcrumb())
        bounds |= grow(breadcrumbRect(*crumb));
    return bounds;
}

} // namespace vima
