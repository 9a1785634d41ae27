#include "settings/ai/AISetupView.h"

#include "settings/ai/AISetupModel.h"
#include "settings/ai/Badge.h"
#include "settings/kit/SettingsLooks.h"

#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace vima {

namespace {

ToneLabel *explanation(const QString &text)
{
    auto *label = new ToneLabel(Tone::secondary, text);
    label->setFont(calloutFont());
    label->setWordWrap(true);
    return label;
}

ToneLabel *headline(const QString &text, Tone tone = Tone::label)
{
    auto *label = new ToneLabel(tone, text);
    label->setFont(headlineFont());
    label->setWordWrap(true);
    return label;
}

QWidget *column(std::initializer_list<QWidget *> children, int spacing = 8)
{
    auto *block = new QWidget;
    auto *layout = new QVBoxLayout(block);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(spacing);
    for (QWidget *child : children)
        layout->addWidget(child);
    return block;
}

QPushButton *borderedButton(const QString &text)
{
    auto *button = new QPushButton(text);
    button->setAccessibleName(text);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

SettingsSection *untitledSection(QWidget *content)
{
    auto *section = new SettingsSection(QString());
    section->addWidget(content);
    return section;
}

} // namespace

AISetupView::AISetupView(AISetupModel &model, QWidget *parent) : QWidget(parent), model_(model)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(untitledSection(statusSection()));
    layout->addWidget(untitledSection(builtInSection()));
    layout->addWidget(untitledSection(ownServiceSection()));
    accessibility_ = untitledSection(accessibilitySection());
    layout->addWidget(accessibility_);
    layout->addStretch();
    connect(&model_, &AISetupModel::changed, this, &AISetupView::apply);
    apply();
}

QWidget *AISetupView::statusSection()
{
    statusIcon_ = new SymbolIcon(QStringLiteral("checkmark.circle.fill"), Tone::success, 22);
    headline_ = headline(QString());
    detail_ = explanation(QString());
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(headline_);
    texts->addWidget(detail_);
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(10);
    layout->addWidget(statusIcon_, 0, Qt::AlignVCenter);
    layout->addLayout(texts, 1);
    return row;
}

QWidget *AISetupView::builtInSection()
{
    auto *title = new QWidget;
    auto *titleRow = new QHBoxLayout(title);
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->setSpacing(6);
    titleRow->addWidget(headline(QStringLiteral("Built-in AI")));
    titleRow->addWidget(new Badge(QStringLiteral("RECOMMENDED")));
    titleRow->addStretch();

    readyLine_ = new StatusLine(Tone::success, QStringLiteral("checkmark.circle.fill"),
                                QStringLiteral("Ready to use"));
    needsSetupLine_ = new StatusLine(Tone::secondary, QStringLiteral("key"), QStringLiteral("Needs setup"));
    return column({title,
                   explanation(QStringLiteral("Private, and already part of your Mac. No API key, nothing extra to "
                                              "pay, and your text never leaves the machine.")),
                   setupHelp(), readyLine_, needsSetupLine_});
}

// No Apple Intelligence settings exist on this system to open, so the
// steps stand without their button.
QWidget *AISetupView::setupHelp()
{
    reason_ = new StatusLine(Tone::warning, QStringLiteral("exclamationmark.triangle.fill"), QString());
    auto *steps = new QWidget;
    auto *stepsLayout = new QFormLayout(steps);
    stepsLayout->setContentsMargins(0, 2, 0, 0);
    stepsLayout->setHorizontalSpacing(6);
    stepsLayout->setVerticalSpacing(4);
    stepsLayout->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    auto *lead = new ToneLabel(Tone::label, QStringLiteral("To turn it on:"));
    lead->setFont(calloutFont(QFont::Medium));
    stepsLayout->addRow(lead);
    const QStringList texts{QStringLiteral("Open System Settings."),
                            QStringLiteral("Click “Apple Intelligence & Siri”."),
                            QStringLiteral("Switch Apple Intelligence on, then wait for the download to finish.")};
    for (qsizetype i = 0; i < texts.size(); ++i) {
        auto *number = explanation(QString::number(i + 1) + QLatin1Char('.'));
        number->setMinimumWidth(16);
        number->setAlignment(Qt::AlignRight | Qt::AlignTop);
        stepsLayout->addRow(number, explanation(texts[i]));
    }
    setupHelp_ = column({reason_, steps});
    setupHelp_->layout()->setContentsMargins(0, 0, 0, 0);
    return setupHelp_;
}

QWidget *AISetupView::ownServiceSection()
{
    auto *setUp = borderedButton(QStringLiteral("Set Up…"));
    connect(setUp, &QPushButton::clicked, this, &AISetupView::showAdvanced);
    return column({headline(QStringLiteral("Use your own AI service")),
                   explanation(QStringLiteral("Optional. If you already pay for an API plan from Anthropic or "
                                              "OpenAI, Tavelon can use it for longer or harder text.")),
                   new StatusLine(Tone::secondary, QStringLiteral("info.circle"),
                                  QStringLiteral("A ChatGPT Plus or Claude Pro subscription can't be used here — "
                                                 "those cover the chat apps only. An API plan is a separate product "
                                                 "that bills for what you use.")),
                   setUp});
}

QWidget *AISetupView::accessibilitySection()
{
    auto *warning = new QWidget;
    auto *warningRow = new QHBoxLayout(warning);
    warningRow->setContentsMargins(0, 0, 0, 0);
    warningRow->setSpacing(6);
    warningRow->addWidget(new SymbolIcon(QStringLiteral("exclamationmark.triangle.fill"), Tone::warning, 15));
    warningRow->addWidget(headline(QStringLiteral("Tavelon can't read your selection yet"), Tone::warning), 1);
    auto *open = borderedButton(QStringLiteral("Open Permissions"));
    open->setVisible(model_.canOpenAccessibilitySettings());
    connect(open, &QPushButton::clicked, &model_, &AISetupModel::openAccessibilitySettings);
    return column({warning,
                   explanation(QStringLiteral("AI actions work on the text you have selected, so macOS needs to let "
                                              "Tavelon see it. This is a one-time switch.")),
                   open});
}

void AISetupView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A key saved in the advanced form changes readiness without a signal.
    model_.refresh();
}

void AISetupView::apply()
{
    const bool ready = model_.isReady();
    statusIcon_->setSymbol(ready ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("exclamationmark.circle.fill"),
                           ready ? Tone::success : Tone::warning);
    headline_->setText(model_.headline());
    detail_->setText(model_.detail());
    const LLMProviderStatus &onDevice = model_.onDeviceStatus();
    const bool cannotRun = onDevice.kind == LLMProviderStatus::Case::unsupported
                        || onDevice.kind == LLMProviderStatus::Case::unavailable;
    setupHelp_->setVisible(cannotRun);
    reason_->setText(onDevice.text);
    readyLine_->setVisible(onDevice.isReady());
    needsSetupLine_->setVisible(onDevice.kind == LLMProviderStatus::Case::needsKey);
    accessibility_->setVisible(model_.showsAccessibilityWarning());
}

} // namespace vima
