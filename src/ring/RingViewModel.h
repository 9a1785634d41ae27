#pragma once

#include "async/Scheduler.h"
#include "model/Ring.h"
#include "model/Settings.h"
#include "ring/ContextApp.h"
#include "ring/RingGeometry.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QSizeF>
#include <functional>
#include <optional>

namespace vima {

class HapticFeedback;
class SystemBeep;

// The state of one ring on screen and all of its navigation: the stack of
// nested rings, the page, hover, keyboard focus, the dwell that opens a pack,
// and the keys. It decides; it neither draws nor runs actions.
class RingViewModel final : public QObject {
    Q_OBJECT

public:
    static constexpr double pointerSlack = 90;
    static constexpr double nestedRingWidening = 64;
    static constexpr qsizetype maxDepth = 4;

    RingViewModel(const Ring &ring, qint64 globalSlotCount, const Appearance &appearance,
                  HapticFeedback &haptics, SystemBeep &beep, Scheduler &scheduler = Scheduler::system(),
                  QObject *parent = nullptr);
    ~RingViewModel() override;

    // Published state; each setter announces a change only when the value differs.
    const QList<Ring> &stack() const { return stack_; }
    void setStack(const QList<Ring> &stack);
    qint64 globalSlotCount() const { return globalSlotCount_; }
    void setGlobalSlotCount(qint64 count);
    const Appearance &appearance() const { return appearance_; }
    void setAppearance(const Appearance &appearance);
    const QList<Ring> &pages() const { return pages_; }
    void setPages(const QList<Ring> &pages);
    qsizetype pageIndex() const { return pageIndex_; }
    void setPageIndex(qsizetype index);
    const std::optional<ContextApp> &contextApp() const { return contextApp_; }
    void setContextApp(const std::optional<ContextApp> &app);
    std::optional<int> hoveredSlot() const { return hoveredSlot_; }
    void setHoveredSlot(std::optional<int> slot);
    std::optional<int> keyboardFocusSlot() const { return keyboardFocusSlot_; }
    void setKeyboardFocusSlot(std::optional<int> slot);
    bool isPresented() const { return isPresented_; }
    void setPresented(bool presented);
    std::optional<QPointF> ringCenter() const { return ringCenter_; }
    void setRingCenter(std::optional<QPointF> centre);

    // Called with an item to run it, with none to dismiss the ring.
    std::function<void(const std::optional<RingItem> &)> onActivate;
    // Looks a ring up by identifier (for packs).
    std::function<std::optional<Ring>(const QUuid &)> resolveRing;

    // Derived values.
    Ring currentRing() const;
    std::optional<Ring> parentRing() const;
    int effectiveSlotCount() const;
    bool canFlipPages() const;
    std::optional<ContextApp> visibleContextApp() const;
    std::optional<QString> breadcrumb() const;
    QString currentPageTitle() const;
    // The hovered slot, else the keyboard-focused one.
    std::optional<int> highlightedSlot() const { return hoveredSlot_ ? hoveredSlot_ : keyboardFocusSlot_; }
    RingGeometry geometry(QSizeF viewSize) const;
    // The appearance as drawn and timed: a value that a hand-edited file made
    // negative or not finite reads as its default (a timing as 0), one far
    // beyond the settings' range as the nearest usable value. The stored
    // value is kept.
    Appearance appearanceInUse() const;

    void pointerMoved(QPointF point, QSizeF viewSize);
    void clearHover();
    void activate(const RingItem &item);
    void commit();
    bool pushRing(const QUuid &ringID);
    bool goBack();
    void setPage(qint64 index);
    void cancel();
    void moveFocus(int dx, int dy);
    int nearestSlot(double angle) const;
    bool handleKey(quint16 keyCode, const std::optional<QString> &characters, quint64 modifiers);

    void cancelDwell();
    bool isDwelling() const { return dwellTimer_.has_value(); }

Q_SIGNALS:
    void stackChanged();
    void globalSlotCountChanged();
    void appearanceChanged();
    void pagesChanged();
    void pageIndexChanged();
    void contextAppChanged();
    void hoveredSlotChanged();
    void keyboardFocusSlotChanged();
    void isPresentedChanged();
    void ringCenterChanged();

private:
    void hoverChanged(std::optional<int> slot);
    void dwellEnded(int slot);
    void clearSlots();
    bool refusePush();
    bool handleDigit(const std::optional<QString> &characters);

    HapticFeedback &haptics_;
    SystemBeep &beep_;
    Scheduler &scheduler_;

    QList<Ring> stack_;
    qint64 globalSlotCount_ = 8;
    Appearance appearance_;
    QList<Ring> pages_;
    qsizetype pageIndex_ = 0;
    std::optional<ContextApp> contextApp_;
    std::optional<int> hoveredSlot_;
    std::optional<int> keyboardFocusSlot_;
    bool isPresented_ = false;
    std::optional<QPointF> ringCenter_;
    std::optional<Scheduler::TimerId> dwellTimer_;
};

} // namespace vima
