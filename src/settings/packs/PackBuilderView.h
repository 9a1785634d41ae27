#pragma once

#include "settings/library/AppScan.h"
#include "settings/packs/PackBuilderModel.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class QVBoxLayout;

namespace vima {

class IconTile;
class PackAddPanel;
class PackItemRow;
class RingPreviewView;
class StatusLine;
class ToneLabel;
struct SettingsContext;

// The sheet that builds a pack with a live preview, then saves it for reuse
// or installs it behind one slot of the parent ring.
class PackBuilderView final : public QDialog {
    Q_OBJECT

public:
    PackBuilderView(SettingsContext &context, PackBuilderModel::Opening opening, AppScan scan,
                    QWidget *parent = nullptr);

    PackBuilderModel &model() const { return *model_; }
    PackAddPanel &addPanel() const { return *panel_; }

protected:
    // Escape would throw the pack away: only "Cancel" does that.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *makeBreadcrumb();
    QWidget *makeLeftColumn();
    QWidget *makeRightColumn();
    void rebuildRows();
    void refresh();
    void showPanel();

    SettingsContext &context_;
    PackBuilderModel *model_;
    PackAddPanel *panel_ = nullptr;
    ToneLabel *crumbName_ = nullptr;
    QToolButton *iconMenu_ = nullptr;
    QLineEdit *name_ = nullptr;
    RingPreviewView *preview_ = nullptr;
    IconTile *headerIcon_ = nullptr;
    ToneLabel *headerName_ = nullptr;
    ToneLabel *summary_ = nullptr;
    QVBoxLayout *rows_ = nullptr;
    QList<PackItemRow *> rowWidgets_;
    ToneLabel *emptyRows_ = nullptr;
    QPushButton *addAction_ = nullptr;
    QSpinBox *slots_ = nullptr;
    StatusLine *warning_ = nullptr;
    QPushButton *save_ = nullptr;
    QPushButton *done_ = nullptr;
};

} // namespace vima
