#include "settings/permissions/PermissionsPage.h"

#include "settings/kit/DisclosureRow.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/permissions/PermissionsModel.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace vima {

PermissionsPage::PermissionsPage(SettingsContext &context, QWidget *parent)
    : QWidget(parent), model_(new PermissionsModel(context.permissions, context.store, this))
{
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(20, 22, 20, 20);
    column->setSpacing(14);
    auto *header = settingsPageHeader(QStringLiteral("Permissions"),
                                      QStringLiteral("What Tavelon can access — and exactly what it is, and isn't, "
                                                     "used for."));
    header->setContentsMargins(0, 0, 0, 4);
    column->addWidget(header);
    column->addWidget(accessibilitySection());

    const QList<PermissionsModel::Section> sections = model_->sections();
    for (const PermissionsModel::Section &section : sections) {
        auto *box = new SettingsSection(section.heading);
        for (const DisclosureText &text : section.rows) {
            auto *row = new DisclosureRow(text);
            if (text.symbol == QLatin1String("keyboard"))
                hotkeyRow_ = row;
            box->addWidget(row);
        }
        column->addWidget(box);
    }
    auto *tip = new SettingsSection(QString());
    auto *tipLine = new StatusLine(Tone::secondary, QStringLiteral("lightbulb"), PermissionsModel::tip());
    tip->addWidget(tipLine);
    column->addWidget(tip);
    column->addStretch();

    setScrollingPage(this, content);

    connect(model_, &PermissionsModel::grantChanged, this, &PermissionsPage::applyGrant);
    connect(model_, &PermissionsModel::hotkeyChanged, this, &PermissionsPage::applyHotkey);
    applyGrant();
}

QWidget *PermissionsPage::accessibilitySection()
{
    auto *section = new SettingsSection(QStringLiteral("Accessibility"));
    icon_ = new SymbolIcon(QStringLiteral("checkmark.circle.fill"), Tone::success, 22);
    state_ = new ToneLabel(Tone::label);
    state_->setFont(headlineFont());
    detail_ = new ToneLabel(Tone::secondary);
    detail_->setFont(calloutFont());
    detail_->setWordWrap(true);
    checkAgain_ = inkButton(QStringLiteral("Check Again"));
    connect(checkAgain_, &QPushButton::clicked, model_, &PermissionsModel::checkAgain);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(state_);
    texts->addWidget(detail_);
    auto *statusRow = new QWidget;
    auto *row = new QHBoxLayout(statusRow);
    row->setContentsMargins(0, 4, 0, 4);
    row->setSpacing(10);
    row->addWidget(icon_);
    row->addLayout(texts, 1);
    row->addWidget(checkAgain_);
    section->addWidget(statusRow);

    missing_ = new ToneLabel(Tone::secondary);
    missing_->setObjectName(QStringLiteral("missing"));
    missing_->setFont(calloutFont());
    missing_->setWordWrap(true);
    missing_->setTextFormat(Qt::PlainText);
    section->addWidget(missing_);
    return section;
}

void PermissionsPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    model_->checkAgain();
}

void PermissionsPage::applyGrant()
{
    const bool granted = model_->isGranted();
    icon_->setSymbol(granted ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("exclamationmark.circle.fill"),
                     granted ? Tone::success : Tone::warning);
    state_->setText(model_->stateText());
    detail_->setText(model_->detailText());
    checkAgain_->setVisible(model_->offersCheckAgain());
    missing_->setText(model_->missingText());
    missing_->setVisible(!granted);
}

void PermissionsPage::applyHotkey()
{
    if (hotkeyRow_)
        hotkeyRow_->setDetail(model_->sections().at(1).rows.at(0).detail);
}

} // namespace vima
