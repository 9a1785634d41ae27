#pragma once

#include <QPainterPath>
#include <QRectF>

class QWidget;

namespace vima {

// The rounded floating panel (result, ask-input, busy indicator): the window
// colour inside a one-pixel border, its corners cut by a mask so that no
// compositor is needed. Call paint() from the panel's paintEvent and
// clip() whenever its size changes.
class PanelFrame {
public:
    static PanelFrame rounded(double radius) { return PanelFrame(radius); }
    // Ends fully rounded, whatever the height.
    static PanelFrame capsule() { return PanelFrame(-1); }

    QPainterPath outline(const QRectF &rect) const;
    void paint(QWidget &panel) const;
    void clip(QWidget &panel) const;

private:
    explicit PanelFrame(double radius) : radius_(radius) {}

    double radius_;
};

} // namespace vima
