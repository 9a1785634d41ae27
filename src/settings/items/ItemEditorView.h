#pragma once

#include "model/Ring.h"
#include "model/RingItem.h"

#include <QList>
#include <QWidget>
#include <functional>

class QComboBox;
class QLineEdit;
class QStackedWidget;
class QToolButton;
class QPushButton;
class QVBoxLayout;

namespace vima {

class ElidedLabel;
class IconTile;
class ItemEditorModel;
class ItemKindSection;
class SegmentedControl;
class ToneLabel;
struct SettingsContext;

// The form that edits one slot: header, title, slot, icon, kind and the
// kind's own fields. The host shows an item with setItem() and writes each
// itemEdited() back into its ring; the form keeps no copy of its own.
class ItemEditorView final : public QWidget {
    Q_OBJECT

public:
    explicit ItemEditorView(SettingsContext &context, QWidget *parent = nullptr);
    ~ItemEditorView() override;

    // Refreshes in place; the kind's fields are rebuilt only when the kind or
    // the item changes.
    void setItem(const RingItem &item);
    const RingItem &item() const;
    // The ring's own slot count, else the global one.
    void setSlotCount(qint64 count);
    void setDefaultLanguage(const QString &language);
    // The packs a pack slot may open.
    void setSubRings(const QList<Ring> &subRings);

    // Installed by the host before the first setItem(). onAssignSlot is
    // required; without onTurnIntoSubRing "Turn into a Pack…" is not offered.
    std::function<void(qint64 slot)> onAssignSlot;
    std::function<void(const QUuid &ringID)> onEditSubRing;
    std::function<void(const QUuid &ringID, const IconSpec &icon)> onSaveAsTemplate;
    std::function<void()> onTurnIntoSubRing;

    ItemEditorModel &model() const { return *model_; }

Q_SIGNALS:
    // One per user action, carrying the whole edited item.
    void itemEdited(const vima::RingItem &item);

private:
    QWidget *buildHeader();
    QWidget *buildItemSection();
    QWidget *buildIconEditor();
    QWidget *buildKindSection();
    void rebuildKindFields();
    void refresh();
    void refreshIcon();

    SettingsContext &context_;
    ItemEditorModel *model_;
    IconTile *headerTile_ = nullptr;
    ElidedLabel *headerTitle_ = nullptr;
    ToneLabel *headerKind_ = nullptr;
    QLineEdit *title_ = nullptr;
    QComboBox *slot_ = nullptr;
    SegmentedControl *iconKind_ = nullptr;
    IconTile *previewTile_ = nullptr;
    QStackedWidget *iconFields_ = nullptr;
    QLineEdit *symbolName_ = nullptr;
    ToneLabel *unknownSymbol_ = nullptr;
    QLineEdit *emoji_ = nullptr;
    QLineEdit *bundleID_ = nullptr;
    QComboBox *kind_ = nullptr;
    QVBoxLayout *kindHolder_ = nullptr;
    ItemKindSection *kindFields_ = nullptr;
};

} // namespace vima
