#pragma once

// A live, clickable picture of one ring on a rounded card, drawn by the ring's
// own RingView (preview mode) at 0.82 of the configured radii. The caller
// decides what a slot click means:
//
//     auto *preview = new RingPreviewView(context);
//     preview->onSlotTapped = [this](int slot) { ... };      // none: no clicks, no tooltips
//     preview->setRing(ring, capacity, config.appearance);   // reloads only when one differs
//     preview->setHighlightedSlot(selectedSlot);              // moves only the highlight
//
// Only a click inside a slot's annular slice counts (3 points of gap between
// slices); the centre disc and the space around the ring take none. From the
// keyboard, arrows move a focus slice and Space or Return clicks it; assistive
// technology sees one button per slot whose "Press" clicks it. The preview
// never changes the configuration.

#include "model/Ring.h"
#include "model/Settings.h"

#include <QWidget>
#include <functional>
#include <optional>

namespace vima {

class RingView;
class RingViewModel;
struct SettingsContext;

class RingPreviewView final : public QWidget {
    Q_OBJECT

public:
    static constexpr double radiusScale = 0.82;
    static constexpr double sliceGap = 3;
    static constexpr double cornerRadius = 12;

    explicit RingPreviewView(SettingsContext &context, QWidget *parent = nullptr);
    ~RingPreviewView() override;

    std::function<void(int slot)> onSlotTapped;

    // `slotCount`: the count the ring is used with (its own, else the global one).
    void setRing(const Ring &ring, qint64 slotCount, const Appearance &appearance);
    void setHighlightedSlot(std::optional<int> slot);

    RingViewModel &viewModel() const { return *viewModel_; }
    const RingView &ringView() const { return *ringView_; }
    // How many slots take clicks: none without onSlotTapped, else one per
    // slot the ring draws (at least 1, at most 24).
    int slotAreaCount() const;
    // The slot whose slice holds `point`; none in a gap, the centre or outside.
    std::optional<int> slotAt(QPointF point) const;
    // The bounds of a slot's slice, where a popup for that slot belongs.
    QRect slotRect(int slot) const;
    static QString slotToolTip(int slot);
    // "Slot 3, Safari"; "Slot 4, empty".
    QString slotAccessibleName(int slot) const;
    // What a click in the slot does.
    void pressSlot(int slot);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void reload();
    void logPlace() const;
    void moveFocusSlot(int step);
    void paintFocus(QWidget *overlay);
    QPainterPath cardPath() const;

    std::unique_ptr<RingViewModel> viewModel_;
    RingView *ringView_;
    QWidget *focusOverlay_;
    Ring ring_;
    qint64 slotCount_ = 8;
    Appearance appearance_;
    std::optional<int> highlightedSlot_;
    std::optional<int> pressedSlot_;
    int focusSlot_ = 0;
};

} // namespace vima
