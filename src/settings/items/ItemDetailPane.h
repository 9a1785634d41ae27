#pragma once

#include <QUuid>
#include <QWidget>
#include <optional>

class QStackedWidget;

namespace vima {

class AddItemChooser;
class ItemEditorView;
class ItemsSettingsModel;
class RingPreviewView;
class SlotOperations;
struct SettingsContext;

// The Items tab's right side: the live preview of the edited ring (a click
// on an empty slot opens the add-item chooser beside it), and under it the
// editor of the selected item, or a placeholder when none is selected.
class ItemDetailPane final : public QWidget {
    Q_OBJECT

public:
    ItemDetailPane(ItemsSettingsModel &model, SlotOperations &slots, SettingsContext &context,
                   QWidget *parent = nullptr);

    RingPreviewView *preview() const { return preview_; }
    AddItemChooser *chooser() const { return chooser_; }
    // None while the placeholder shows.
    ItemEditorView *editor() const { return editor_; }

    void refresh();

private:
    QWidget *buildEmptyState();
    void showChooser();
    void refreshEditor();
    ItemEditorView *makeEditor();

    ItemsSettingsModel &model_;
    SlotOperations &slots_;
    SettingsContext &context_;
    RingPreviewView *preview_;
    AddItemChooser *chooser_;
    QStackedWidget *stack_;
    ItemEditorView *editor_ = nullptr;
    // What the editor was made for: a new item or ring makes a new editor.
    std::optional<QUuid> editorItemID_;
    QUuid editorRingID_;
};

} // namespace vima
