#include "onboarding/WelcomePage.h"

#include "onboarding/HotkeyTakenNote.h"
#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingStyle.h"
#include "ui/FollowPalette.h"
#include "ui/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vima {

namespace {

constexpr int textWidth = 470;

// A symbol beside a line of the how-to, aligned on the text's first line.
QWidget *howToLine(const QString &symbol, QLabel *text)
{
    auto *line = new QWidget;
    auto *row = new QHBoxLayout(line);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addWidget(onboarding::symbolIcon(symbol, 15, Tone::secondary), 0, Qt::AlignTop);
    row->addSpacing(20 - 15); // the symbol's box is 20 wide
    row->addWidget(text, 1);
    return line;
}

QWidget *centredColumn(std::initializer_list<QWidget *> widgets, int spacing)
{
    auto *block = new QWidget;
    auto *column = new QVBoxLayout(block);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    for (QWidget *widget : widgets)
        column->addWidget(widget, 0, Qt::AlignHCenter);
    return block;
}

} // namespace

WelcomePage::WelcomePage(OnboardingModel &model, QWidget *parent) : QWidget(parent), model_(model)
{
    using namespace onboarding;
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(20);
    column->addStretch();
    column->addWidget(symbolIcon(QStringLiteral("circle.hexagongrid.circle"), 60, Tone::secondary), 0, Qt::AlignHCenter);

    QLabel *title = textLabel(QStringLiteral("Welcome to Tavelon"), TextStyle::title, Tone::label, false);
    title->setFont(titleFont(32));
    column->addWidget(centredColumn({title, textLabel(QStringLiteral("A ring of actions at your cursor."),
                                                      TextStyle::title3, Tone::secondary, false)},
                                    6));

    hotkey_ = textLabel(QString(), TextStyle::largeTitle, Tone::label, false);
    hotkey_->setObjectName(QStringLiteral("hotkey"));
    hotkey_->setContentsMargins(24, 10, 24, 10);
    followPalette(hotkey_, [hotkey = hotkey_] {
        hotkey->setStyleSheet(QStringLiteral("QLabel#hotkey { background: %1; border: 1px solid %2; border-radius: 12px; }")
                                  .arg(Palette::selectedContentBackground().name(QColor::HexArgb),
                                       Palette::separator().name(QColor::HexArgb)));
    });
    QLabel *caption = textLabel(QStringLiteral("Your shortcut"), TextStyle::caption, Tone::secondary, false);
    column->addWidget(centredColumn({hotkey_, caption, new HotkeyTakenNote(model)}, 5));

    holdLine_ = textLabel(QString(), TextStyle::callout, Tone::label);
    tapLine_ = textLabel(QString(), TextStyle::callout, Tone::label);
    auto *howTo = new QWidget;
    howTo->setFixedWidth(textWidth);
    auto *lines = new QVBoxLayout(howTo);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(12);
    lines->addWidget(howToLine(QStringLiteral("hand.draw"), holdLine_));
    lines->addWidget(howToLine(QStringLiteral("cursorarrow.click"), tapLine_));
    column->addLayout(centredRow(howTo));

    QLabel *note = textLabel(QStringLiteral("Tavelon")
                                 + QStringLiteral(" sits in the system tray and stays out of your taskbar. It's always one keypress away."),
                             TextStyle::callout, Tone::secondary);
    note->setAlignment(Qt::AlignHCenter);
    note->setFixedWidth(textWidth);
    column->addLayout(centredRow(note));
    column->addStretch();

    showHotkey();
    connect(&model, &OnboardingModel::hotkeyChanged, this, &WelcomePage::showHotkey);
}

void WelcomePage::showHotkey()
{
    hotkey_->setText(model_.hotkeyText());
    holdLine_->setText(model_.holdLine());
    tapLine_->setText(model_.tapLine());
}

} // namespace vima
