#include "settings/ai/AISetupView.h"

#include "settings/ai/AISetupModel.h"
#include "settings/ai/Badge.h"
#include "settings/ai/RouteNotice.h"
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

AISetupView::AISetupView(AISetupModel &model, AISettingsModel &tab, QWidget *parent)
    : QWidget(parent), model_(model)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(untitledSection(statusSection()));
    layout->addWidget(untitledSection(localSection(tab)));
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

QWidget *AISetupView::localSection(AISettingsModel &tab)
{
    auto *title = new QWidget;
    auto *titleRow = new QHBoxLayout(title);
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->setSpacing(6);
    titleRow->addWidget(headline(QStringLiteral("Local AI (Ollama)")));
    titleRow->addWidget(new Badge(QStringLiteral("RECOMMENDED")));
    titleRow->addStretch();

    readyLine_ = new StatusLine(Tone::success, QStringLiteral("checkmark.circle.fill"),
                                QStringLiteral("Ready to use"));
    checkingLine_ = new StatusLine(Tone::secondary, QStringLiteral("arrow.clockwise"), QStringLiteral("Checking…"));
    promise_ = explanation(QString());
    return column({title, promise_, new RouteNotice(tab, true, this), setupHelp(), readyLine_, checkingLine_});
}

QWidget *AISetupView::setupHelp()
{
    reason_ = new StatusLine(Tone::warning, QStringLiteral("exclamationmark.triangle.fill"), QString());
    auto *steps = new QWidget;
    steps_ = new QFormLayout(steps);
    steps_->setContentsMargins(0, 2, 0, 0);
    steps_->setHorizontalSpacing(6);
    steps_->setVerticalSpacing(4);
    steps_->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    auto *lead = new ToneLabel(Tone::label, QStringLiteral("To turn it on:"));
    lead->setFont(calloutFont(QFont::Medium));
    steps_->addRow(lead);

    checkAgain_ = inkButton(QStringLiteral("Check Again"));
    checkAgain_->setObjectName(QStringLiteral("checkAgain"));
    checkAgain_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(checkAgain_, &QPushButton::clicked, &model_, [this] {
        // Disabled while it checks; the keyboard's focus comes back to it after.
        refocusCheckAgain_ = checkAgain_->hasFocus();
        model_.checkAgain();
    });
    setupHelp_ = column({reason_, steps, checkAgain_});
    setupHelp_->layout()->setContentsMargins(0, 0, 0, 0);
    return setupHelp_;
}

// Numbered rows under the lead line; commands in them can be selected with
// the pointer and copied, without adding a tab stop per step.
void AISetupView::showSteps(const QStringList &steps)
{
    if (steps == shownSteps_)
        return;
    shownSteps_ = steps;
    while (steps_->rowCount() > 1)
        steps_->removeRow(1);
    for (qsizetype i = 0; i < steps.size(); ++i) {
        auto *number = explanation(QString::number(i + 1) + QLatin1Char('.'));
        number->setMinimumWidth(16);
        number->setAlignment(Qt::AlignRight | Qt::AlignTop);
        ToneLabel *text = explanation(steps[i]);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        steps_->addRow(number, text);
    }
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
    open->setObjectName(QStringLiteral("openPermissions"));
    connect(open, &QPushButton::clicked, this, &AISetupView::openPermissions);
    return column({warning,
                   explanation(QStringLiteral("AI actions work on the text you have selected, so this system needs to "
                                              "let Tavelon see it. The Permissions tab says what is missing.")),
                   open});
}

void AISetupView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A key saved in the advanced form changes readiness without a signal.
    model_.shown();
}

void AISetupView::apply()
{
    const bool ready = model_.isReady();
    statusIcon_->setSymbol(ready ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("exclamationmark.circle.fill"),
                           ready ? Tone::success : Tone::warning);
    headline_->setText(model_.headline());
    detail_->setText(model_.detail());
    promise_->setText(model_.localPromise());
    const AISetupModel::Local local = model_.local();
    setupHelp_->setVisible(model_.isLocalBlocked());
    reason_->setText(model_.localReason());
    showSteps(model_.localSteps());
    checkAgain_->setEnabled(!model_.isChecking());
    const QString checkText = model_.isChecking() ? QStringLiteral("Checking…") : QStringLiteral("Check Again");
    checkAgain_->setText(checkText);
    checkAgain_->setAccessibleName(checkText);
    if (refocusCheckAgain_ && checkAgain_->isEnabled() && checkAgain_->isVisible()) {
        refocusCheckAgain_ = false;
        checkAgain_->setFocus();
    }
    readyLine_->setVisible(local == AISetupModel::Local::ready);
    checkingLine_->setVisible(local == AISetupModel::Local::unknown);
    accessibility_->setVisible(model_.showsAccessibilityWarning());
}

} // namespace vima
