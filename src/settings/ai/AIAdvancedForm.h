#pragma once

#include "model/Settings.h"
#include "settings/ai/ModelChoice.h"

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QToolButton;

namespace vima {

class AIPrivacyDisclosure;
class AISettingsModel;
class BusySpinner;
class ConfigStore;
class ProviderRow;
class StatusLine;
class ToneLabel;

// The AI tab's advanced form: provider, API key, local server, model,
// routing, request limits, the permission warning and where text goes.
// Sections are built once and shown or hidden as the provider changes.
class AIAdvancedForm final : public QWidget {
    Q_OBJECT

public:
    AIAdvancedForm(AISettingsModel &model, ConfigStore &store, QWidget *parent = nullptr);

    QLineEdit *keyField() const { return keyField_; }
    QPushButton *saveButton() const { return save_; }
    QPushButton *removeButton() const { return remove_; }
    QPushButton *testButton() const { return test_; }
    BusySpinner *testingSpinner() const { return testing_; }
    QSlider *timeoutSlider() const { return timeout_; }
    ToneLabel *timeoutLabel() const { return timeoutLabel_; }
    QLineEdit *maxTokensField() const { return maxTokens_; }
    const QList<ProviderRow *> &providerRows() const { return rows_; }
    StatusLine *resultLine() const { return result_; }
    ToneLabel *serverHint() const { return serverHint_; }

Q_SIGNALS:
    // The permission warning's button: the Permissions tab says what is missing.
    void openPermissions();

private:
    QWidget *providerSection();
    QWidget *keySection();
    QWidget *serverSection();
    QWidget *modelSection();
    QWidget *routingSection();
    QWidget *requestsSection();
    QWidget *accessibilitySection();
    QWidget *timeoutRow();
    void bindMaxTokens();
    void fillModelMenu();
    void setTabOrder();
    void apply();

    AISettingsModel &model_;
    ConfigStore &store_;
    QList<ProviderRow *> rows_;
    // The rows, each followed by the buttons of the notice under it.
    QList<QWidget *> providerFocus_;
    AIPrivacyDisclosure *disclosure_ = nullptr;
    QWidget *keySection_ = nullptr;
    QWidget *serverSection_ = nullptr;
    QWidget *modelSection_ = nullptr;
    QWidget *accessibility_ = nullptr;
    QPushButton *openPermissions_ = nullptr;
    QLabel *keyLabel_ = nullptr;
    QLineEdit *keyField_ = nullptr;
    QPushButton *save_ = nullptr;
    QPushButton *remove_ = nullptr;
    QPushButton *test_ = nullptr;
    BusySpinner *testing_ = nullptr;
    StatusLine *result_ = nullptr;
    QLineEdit *address_ = nullptr;
    ToneLabel *serverHint_ = nullptr;
    QLineEdit *modelField_ = nullptr;
    QToolButton *suggestions_ = nullptr;
    QMenu *suggestionMenu_ = nullptr;
    QWidget *fallback_ = nullptr;
    QSlider *timeout_ = nullptr;
    ToneLabel *timeoutLabel_ = nullptr;
    QLineEdit *maxTokens_ = nullptr;
    QLineEdit *language_ = nullptr;
    // What the menu holds; nothing before it was first filled.
    std::optional<QList<ModelChoice>> menuChoices_;
};

} // namespace vima
