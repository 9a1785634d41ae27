#include "onboarding/ReadyPage.h"

#include "onboarding/HotkeyTakenNote.h"
#include "onboarding/OnboardingCard.h"
#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingStyle.h"
#include "services/HotkeyManager.h"
#include "settings/permissions/PermissionsModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace vima {

namespace {

using namespace onboarding;

constexpr int cardsWidth = 500;

QWidget *card(const QString &symbol, const QString &title, QWidget *content)
{
    auto *frame = new OnboardingCard(8);
    auto *row = new QHBoxLayout(frame);
    row->setContentsMargins(14, 14, 14, 14);
    row->setSpacing(12);
    row->addWidget(symbolIcon(symbol, 15, Tone::secondary), 0, Qt::AlignTop);
    row->addSpacing(24 - 15); // the symbol's box is 24 wide
    auto *column = new QVBoxLayout;
    column->setSpacing(4);
    column->addWidget(textLabel(title, TextStyle::headline, Tone::label));
    column->addWidget(content);
    row->addLayout(column, 1);
    return frame;
}

QLabel *plainContent(const QString &text)
{
    return textLabel(text, TextStyle::callout, Tone::secondary);
}

QLabel *moreInside()
{
    QLabel *label = plainContent(
        QStringLiteral("Group actions into **packs** — nested rings — and save one to reuse anywhere. ")
        + QStringLiteral("Give an app its **own ring** — ") + QStringLiteral("Tavelon")
        + QStringLiteral(" shows it when that app is in front, and a ")
        + QStringLiteral("flip (") + HotkeyManager::displayName(keys::leftArrow, modifiers::command)
        + QStringLiteral("/") + HotkeyManager::keyName(keys::rightArrow)
        + QStringLiteral(", Tab, or a two-finger swipe) takes you to your universal ring. ")
        + QStringLiteral("It's all in Settings whenever you want it."));
    label->setTextFormat(Qt::MarkdownText);
    // Read out as the words it shows, not the asterisks that mark them.
    QTextDocument shown;
    shown.setMarkdown(label->text());
    label->setAccessibleName(shown.toPlainText());
    return label;
}

QWidget *granted()
{
    auto *status = new QWidget;
    auto *row = new QHBoxLayout(status);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    row->addWidget(symbolIcon(QStringLiteral("checkmark.circle.fill"), 12, Tone::label));
    row->addWidget(textLabel(QStringLiteral("Granted"), TextStyle::callout, Tone::label, false));
    row->addStretch();
    return status;
}

} // namespace

ReadyPage::ReadyPage(OnboardingModel &model, QWidget *parent) : QWidget(parent), model_(model)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);
    column->addStretch();
    column->addWidget(symbolIcon(QStringLiteral("checkmark.circle.fill"), 50, Tone::label), 0, Qt::AlignHCenter);

    auto *header = new QVBoxLayout;
    header->setSpacing(6);
    QLabel *title = textLabel(QStringLiteral("You're ready"), TextStyle::title, Tone::label, false);
    title->setFont(titleFont(32));
    header->addWidget(title, 0, Qt::AlignHCenter);
    header_ = textLabel(QString(), TextStyle::title3, Tone::secondary);
    header_->setAlignment(Qt::AlignHCenter);
    header->addWidget(header_);
    header->addWidget(new HotkeyTakenNote(model));
    column->addLayout(header);

    auto *cards = new QWidget;
    cards->setFixedWidth(cardsWidth);
    auto *cardColumn = new QVBoxLayout(cards);
    cardColumn->setContentsMargins(0, 0, 0, 0);
    cardColumn->setSpacing(12);
    cardColumn->addWidget(card(QStringLiteral("bolt.fill"), QStringLiteral("Most of it already works"),
                               plainContent(QStringLiteral("The ring, launching apps, and opening files and folders, and running your own scripts, need no permission at all. Try one now."))));
    cardColumn->addWidget(card(QStringLiteral("text.cursor"), QStringLiteral("AI actions need XTest"),
                               accessibilityContent()));
    cardColumn->addWidget(card(QStringLiteral("lock.shield.fill"), QStringLiteral("Your text stays yours"),
                               plainContent(QStringLiteral("Tavelon reads a selection only when you fire an action on it — never in the background, and it keeps no history. Local actions never leave this computer. Text goes online only when you choose a cloud provider, or a strong-model action while a cloud key is saved."))));
    cardColumn->addWidget(card(QStringLiteral("square.on.square.dashed"), QStringLiteral("There's more inside"),
                               moreInside()));
    column->addLayout(centredRow(cards));
    column->addStretch();

    showHeader();
    showTrust();
    connect(&model, &OnboardingModel::hotkeyChanged, this, &ReadyPage::showHeader);
    connect(&model, &OnboardingModel::installedTemplateNameChanged, this, &ReadyPage::showHeader);
    connect(&model, &OnboardingModel::accessibilityTrustedChanged, this, &ReadyPage::showTrust);
}

QWidget *ReadyPage::accessibilityContent()
{
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(plainContent(QStringLiteral("To rewrite or summarise what you've selected, ") + QStringLiteral("Tavelon")
                                   + QStringLiteral(" reads your selected text and pastes the result. ")
                                   + QStringLiteral("On X11 nothing asks for this: it takes an X server with the XTest extension.")));

    // Hidden, a form takes no room: a stacked widget would measure both.
    granted_ = granted();
    column->addWidget(granted_);
    missing_ = new QWidget;
    auto *missingColumn = new QVBoxLayout(missing_);
    missingColumn->setContentsMargins(0, 0, 0, 0);
    missingColumn->setSpacing(6);
    missingText_ = plainContent(QString());
    missingText_->setTextFormat(Qt::PlainText);
    missingColumn->addWidget(missingText_);
    checkAgain_ = new QPushButton(QStringLiteral("Check Again"));
    connect(checkAgain_, &QPushButton::clicked, &model_, &OnboardingModel::refreshAccessibility);
    missingColumn->addWidget(checkAgain_, 0, Qt::AlignLeft);
    column->addWidget(missing_);
    return content;
}

void ReadyPage::showHeader()
{
    header_->setText(model_.headerSentence());
}

void ReadyPage::showTrust()
{
    const bool trusted = model_.isAccessibilityTrusted();
    granted_->setVisible(trusted);
    missing_->setVisible(!trusted);
    missingText_->setText(PermissionsModel::missingText(model_.accessibilityTrust()));
    checkAgain_->setVisible(model_.offersCheckAgain());
}

void ReadyPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    model_.refreshAccessibility();
    showTrust();
}

} // namespace vima
