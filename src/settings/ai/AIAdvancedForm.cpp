#include "settings/ai/AIAdvancedForm.h"

#include "settings/ai/AIPrivacyDisclosure.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/ai/ProviderRow.h"
#include "settings/ai/RouteNotice.h"
#include "settings/kit/BusySpinner.h"
#include "settings/kit/ConfigBinding.h"
#include "settings/kit/FieldText.h"
#include "settings/kit/MenuLooks.h"
#include "settings/kit/SettingsLooks.h"
#include "ui/SymbolCatalog.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vima {

namespace {

constexpr int timeoutStep = 5;
constexpr int shortestTimeout = 10;
constexpr int longestTimeout = 180;

auto aiField(auto member)
{
    return configField(&VimaConfig::ai, member);
}

QFont monospaced(double points)
{
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(points * 0.75);
    return mono;
}

QLineEdit *lineEdit(int maximumWidth, const QString &accessibleName)
{
    auto *edit = new QLineEdit;
    edit->setMaximumWidth(maximumWidth);
    edit->setAccessibleName(accessibleName);
    return edit;
}

QWidget *row(std::initializer_list<QWidget *> children)
{
    auto *holder = new QWidget;
    QHBoxLayout *layout = rowLayout();
    holder->setLayout(layout);
    for (QWidget *child : children)
        layout->addWidget(child);
    layout->addStretch();
    return holder;
}

QPushButton *borderedButton(const QString &text)
{
    auto *button = new QPushButton(text);
    button->setAccessibleName(text);
    return button;
}

// The slider's position for a stored timeout; it shows where the value
// falls, the label shows the value itself.
int sliderPosition(double seconds)
{
    if (!std::isfinite(seconds))
        return shortestTimeout / timeoutStep;
    const double clamped = std::clamp(seconds, double(shortestTimeout), double(longestTimeout));
    return int(std::lround(clamped / timeoutStep));
}

} // namespace

AIAdvancedForm::AIAdvancedForm(AISettingsModel &model, ConfigStore &store, QWidget *parent)
    : QWidget(parent), model_(model), store_(store)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(providerSection());
    layout->addWidget(keySection_ = keySection());
    layout->addWidget(serverSection_ = serverSection());
    layout->addWidget(modelSection_ = modelSection());
    layout->addWidget(routingSection());
    layout->addWidget(requestsSection());
    layout->addWidget(accessibility_ = accessibilitySection());
    auto *privacy = new SettingsSection(AIPrivacyDisclosure::heading());
    privacy->addWidget(disclosure_ = new AIPrivacyDisclosure(model_));
    layout->addWidget(privacy);
    layout->addStretch();
    setTabOrder();
    connect(&model_, &AISettingsModel::changed, this, &AIAdvancedForm::apply);
    apply();
}

QWidget *AIAdvancedForm::providerSection()
{
    auto *section = new SettingsSection(QStringLiteral("Provider"));
    for (const LLMProviderKind kind : allProviderKinds()) {
        auto *providerRow = new ProviderRow(kind);
        // Unchoosing the chosen row leaves the choice where it was, as shown again.
        connect(providerRow, &ProviderRow::toggled, &model_, [this, kind](bool chosen) {
            if (chosen)
                model_.selectProvider(kind);
            else
                apply();
        });
        rows_.append(providerRow);
        section->addWidget(providerRow);
        providerFocus_ << providerRow;
        // Under the chosen row: where else that choice sends text.
        auto *notice = new RouteNotice(model_, true, section);
        notice->showOnlyFor(kind);
        notice->setContentsMargins(ProviderRow::textIndent(), 0, 0, 4);
        section->addWidget(notice);
        providerFocus_ << notice->focusOrder();
    }
    return section;
}

QWidget *AIAdvancedForm::keySection()
{
    auto *section = new SettingsSection(QStringLiteral("API key"));
    keyField_ = lineEdit(320, QString());
    keyField_->setObjectName(QStringLiteral("apiKeyField"));
    keyField_->setEchoMode(QLineEdit::Password);
    connect(keyField_, &QLineEdit::textChanged, &model_, &AISettingsModel::setKeyDraft);
    save_ = inkButton(QStringLiteral("Save"));
    remove_ = borderedButton(QStringLiteral("Remove"));
    // Both buttons are disabled or hidden while they work: the keyboard's
    // focus goes back to the field rather than on to a later section.
    connect(save_, &QPushButton::clicked, &model_, [this] {
        keyField_->setFocus();
        model_.saveKey();
    });
    connect(remove_, &QPushButton::clicked, &model_, [this] {
        keyField_->setFocus();
        model_.removeKey();
    });
    section->addRow(model_.keyFieldLabel(), row({keyField_, save_, remove_}));
    keyLabel_ = qobject_cast<QLabel *>(section->form()->labelForField(keyField_->parentWidget()));

    test_ = borderedButton(QStringLiteral("Test Key"));
    connect(test_, &QPushButton::clicked, &model_, [this] { model_.testKey(); });
    result_ = new StatusLine(Tone::success, QStringLiteral("checkmark.circle.fill"), QString());
    auto *testRow = new QWidget;
    QHBoxLayout *testLayout = rowLayout();
    testRow->setLayout(testLayout);
    test_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    testLayout->addWidget(test_, 0, Qt::AlignTop);
    testing_ = new BusySpinner(QStringLiteral("Testing"));
    testing_->hide();
    testLayout->addWidget(testing_, 0, Qt::AlignVCenter);
    testLayout->addWidget(result_, 1);
    section->addWidget(testRow);
    section->addWidget(new StatusLine(Tone::secondary, QStringLiteral("lock.fill"),
                                      QStringLiteral("Stored in the keyring (Secret Service), never in config.json.")));
    return section;
}

QWidget *AIAdvancedForm::serverSection()
{
    auto *section = new SettingsSection(QStringLiteral("Local server"));
    address_ = lineEdit(280, QStringLiteral("Address"));
    address_->setPlaceholderText(AISettings::defaultOllamaBaseURL);
    ConfigBinding::bind(store_, address_, aiField(&AISettings::ollamaBaseURL));
    section->addRow(QStringLiteral("Address"), address_);
    serverHint_ = new ToneLabel(Tone::secondary, model_.serverHint());
    serverHint_->setFont(monospaced(11));
    serverHint_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    section->addWidget(serverHint_);
    return section;
}

QWidget *AIAdvancedForm::modelSection()
{
    auto *section = new SettingsSection(QStringLiteral("Model"));
    modelField_ = lineEdit(260, QStringLiteral("Model"));
    ConfigBinding::bind(store_, modelField_, aiField(&AISettings::model));
    suggestions_ = new QToolButton;
    suggestions_->setAutoRaise(true);
    suggestions_->setFixedWidth(28);
    suggestions_->setPopupMode(QToolButton::InstantPopup);
    suggestions_->setToolTip(QStringLiteral("Suggested models"));
    suggestions_->setAccessibleName(QStringLiteral("Suggested models"));
    setSymbolIcon(suggestions_, QStringLiteral("list.bullet"));
    suggestionMenu_ = new QMenu(suggestions_);
    suggestions_->setMenu(suggestionMenu_);
    section->addRow(QStringLiteral("Model"), row({modelField_, suggestions_}));
    section->addWidget(caption(QStringLiteral("Free text, so a newly released model works without updating Tavelon.")));
    return section;
}

void AIAdvancedForm::fillModelMenu()
{
    QList<ModelChoice> choices = model_.modelChoices();
    if (menuChoices_ == choices)
        return;
    menuChoices_ = choices;
    suggestionMenu_->clear();
    for (const ModelChoice &choice : choices)
        suggestionMenu_->addAction(QString(choice.label).replace(QLatin1Char('&'), QStringLiteral("&&")), &model_,
                                   [this, name = choice.name] { model_.setModel(name); });
    suggestions_->setVisible(!choices.isEmpty());
}

QWidget *AIAdvancedForm::routingSection()
{
    auto *section = new SettingsSection(QStringLiteral("Routing"));
    auto *fallback = new QCheckBox(QStringLiteral("Automatically use another provider if this one can't run"));
    ConfigBinding::bind(store_, fallback, aiField(&AISettings::autoFallback));
    fallback_ = fallback;
    section->addWidget(fallback);
    section->addWidget(caption(QStringLiteral(
        "Keeps an action from dead-ending. A cloud provider may fall back to any other, a local one only to "
        "another local one, never to the cloud. Actions marked “Needs a strong model” go to your cloud API key "
        "first when one is saved.")));
    return section;
}

QWidget *AIAdvancedForm::timeoutRow()
{
    timeout_ = new QSlider(Qt::Horizontal);
    timeout_->setRange(shortestTimeout / timeoutStep, longestTimeout / timeoutStep);
    timeout_->setPageStep(1);
    timeout_->setMaximumWidth(240);
    timeout_->setAccessibleName(QStringLiteral("Timeout"));
    timeoutLabel_ = new ToneLabel(Tone::secondary);
    timeoutLabel_->setFont(monospaced(11));
    timeoutLabel_->setFixedWidth(40);
    timeoutLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    store_.watch(timeout_, [](const VimaConfig &config) { return config.ai.timeout; }, [this](double seconds) {
        timeoutLabel_->setText(AISettingsModel::timeoutLabel(seconds));
        const QSignalBlocker blocker(timeout_);
        timeout_->setValue(sliderPosition(seconds));
    });
    connect(timeout_, &QSlider::valueChanged, this, [this](int position) {
        ConfigBinding::write(store_, aiField(&AISettings::timeout), double(position * timeoutStep));
    });
    auto *holder = new QWidget;
    QHBoxLayout *layout = rowLayout();
    holder->setLayout(layout);
    layout->addWidget(timeout_, 1);
    layout->addWidget(timeoutLabel_);
    layout->addStretch();
    return holder;
}

void AIAdvancedForm::bindMaxTokens()
{
    maxTokens_ = lineEdit(100, QStringLiteral("Max output tokens"));
    maxTokens_->setFixedWidth(100);
    // A number is taken as it is typed or set; the field is rewritten only
    // when it means another number, so typing is never interrupted.
    store_.watch(maxTokens_, [](const VimaConfig &config) { return config.ai.maxTokens; }, [this](qint64 tokens) {
        bool ok = false;
        if (QLocale().toLongLong(maxTokens_->text().trimmed(), &ok) != tokens || !ok)
            showText(maxTokens_, model_.maxTokensText());
    });
    connect(maxTokens_, &QLineEdit::textChanged, &model_, &AISettingsModel::commitMaxTokens);
    // Text that is not a number gives way to the stored value when editing ends.
    connect(maxTokens_, &QLineEdit::editingFinished, this, [this] { showText(maxTokens_, model_.maxTokensText()); });
}

QWidget *AIAdvancedForm::requestsSection()
{
    auto *section = new SettingsSection(QStringLiteral("Requests"));
    section->addRow(QStringLiteral("Timeout"), timeoutRow());
    bindMaxTokens();
    section->addRow(QStringLiteral("Max output tokens"), maxTokens_);
    language_ = lineEdit(200, QStringLiteral("Default translate language"));
    language_->setPlaceholderText(QStringLiteral("e.g. Spanish"));
    ConfigBinding::bind(store_, language_, aiField(&AISettings::defaultTargetLanguage));
    section->addRow(QStringLiteral("Default translate language"), language_);
    section->addWidget(
        caption(QStringLiteral("Used when you add a new Translate action. Existing items keep their own language.")));
    return section;
}

QWidget *AIAdvancedForm::accessibilitySection()
{
    auto *section = new SettingsSection(QString());
    auto *warning = new StatusLine(Tone::warning, QStringLiteral("exclamationmark.triangle.fill"),
                                   QStringLiteral("AI actions also need an X11 session whose X server offers the XTest "
                                                  "extension to read your selection."));
    openPermissions_ = borderedButton(QStringLiteral("Open Permissions"));
    openPermissions_->setObjectName(QStringLiteral("openPermissions"));
    openPermissions_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(openPermissions_, &QPushButton::clicked, this, &AIAdvancedForm::openPermissions);
    warning->addWidget(openPermissions_);
    section->addWidget(warning);
    return section;
}

void AIAdvancedForm::setTabOrder()
{
    QList<QWidget *> order = providerFocus_;
    order << keyField_ << save_ << remove_ << test_ << address_ << modelField_ << suggestions_ << fallback_
          << timeout_ << maxTokens_ << language_ << openPermissions_ << disclosure_->focusOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void AIAdvancedForm::apply()
{
    const AISettings &settings = model_.settings();
    for (ProviderRow *providerRow : rows_) {
        providerRow->setVisible(model_.listsProvider(providerRow->kind()));
        providerRow->setState(providerRow->kind() == settings.provider, model_.providerStatus(providerRow->kind()));
    }
    keySection_->setVisible(model_.showsAPIKey());
    serverSection_->setVisible(model_.showsLocalServer());
    serverHint_->setText(model_.serverHint());
    modelSection_->setVisible(model_.showsModel());
    accessibility_->setVisible(model_.showsAccessibilityWarning());
    fillModelMenu();

    if (keyLabel_)
        keyLabel_->setText(model_.keyFieldLabel());
    keyField_->setAccessibleName(model_.keyFieldLabel());
    keyField_->setPlaceholderText(model_.keyPlaceholder());
    showText(keyField_, model_.keyDraft());
    save_->setEnabled(model_.canSave());
    remove_->setVisible(model_.hasStoredKey());
    remove_->setEnabled(model_.canRemove());
    test_->setEnabled(model_.canTest());
    test_->setText(model_.isTesting() ? QStringLiteral("Testing…") : QStringLiteral("Test Key"));
    testing_->setVisible(model_.isTesting());

    showKeyStatus(result_, model_.status());
}

} // namespace vima
