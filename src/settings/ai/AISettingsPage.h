#pragma once

#include <QWidget>

class QStackedWidget;

namespace vima {

class AIAdvancedForm;
class AISettingsModel;
class AISetupModel;
class SegmentedControl;
struct SettingsContext;

// The AI tab: the header, the Simple/Advanced switch and the chosen view.
// Statuses are refreshed each time the page comes on screen.
class AISettingsPage final : public QWidget {
    Q_OBJECT

public:
    explicit AISettingsPage(SettingsContext &context, QWidget *parent = nullptr);
    ~AISettingsPage() override;

    AISettingsModel &model() const { return *model_; }
    AIAdvancedForm *advancedForm() const { return advanced_; }
    SegmentedControl *modeControl() const { return mode_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showMode();

    AISettingsModel *model_;
    AISetupModel *setupModel_;
    SegmentedControl *mode_;
    QStackedWidget *views_;
    AIAdvancedForm *advanced_;
};

} // namespace vima
