#include "onboarding/TemplatePage.h"

#include "model/RingTemplate.h"
#include "onboarding/OnboardingCard.h"
#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingStyle.h"
#include "onboarding/TemplateCard.h"
#include "settings/kit/FieldText.h"
#include "ui/Palette.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vima {

namespace {

constexpr int cardColumns = 3;
constexpr int previewColumns = 4;

// One title of the preview: a small dot, then the title cut to one line.
class PreviewTitle : public QWidget {
public:
    explicit PreviewTitle(const QString &title)
    {
        setObjectName(QStringLiteral("previewTitle"));
        setAccessibleName(title);
        setFont(onboarding::font(onboarding::TextStyle::caption));
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        title_ = title;
    }
    QSize sizeHint() const override { return {60, fontMetrics().height()}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::tertiaryLabel(palette()));
        painter.drawEllipse(QRectF(0, height() / 2.0 - 2, 4, 4));
        painter.setPen(Palette::label(palette()));
        const QRect text = rect().adjusted(9, 0, 0, 0);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(title_, Qt::ElideRight, text.width()));
    }

private:
    QString title_;
};

} // namespace

TemplatePage::TemplatePage(OnboardingModel &model, QWidget *parent) : QWidget(parent), model_(model)
{
    using namespace onboarding;
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);

    auto *header = new QVBoxLayout;
    header->setSpacing(4);
    QLabel *question = textLabel(QStringLiteral("What do you spend most of your time doing?"), TextStyle::title,
                                 Tone::label);
    question->setFont(titleFont(22));
    header->addWidget(question);
    header->addWidget(textLabel(QStringLiteral("Tavelon")
                                    + QStringLiteral(" fills the ring with actions that suit. You can change any of them later in Settings."),
                                TextStyle::callout, Tone::secondary));
    column->addLayout(header);

    auto *grid = new QGridLayout;
    grid->setSpacing(10);
    cards_ = new QButtonGroup(this);
    cards_->setExclusive(true);
    const QList<RingTemplate> &templates = RingTemplate::all();
    for (int index = 0; index < templates.size(); ++index) {
        auto *card = new TemplateCard(templates.at(index));
        cards_->addButton(card);
        grid->addWidget(card, index / cardColumns, index % cardColumns);
        connect(card, &TemplateCard::toggled, &model, [&model, card](bool checked) {
            if (checked)
                model.selectTemplate(card->templateID());
        });
    }
    for (int index = 0; index < cardColumns; ++index)
        grid->setColumnStretch(index, 1);
    column->addLayout(grid);

    auto *box = new OnboardingCard(8);
    auto *boxColumn = new QVBoxLayout(box);
    boxColumn->setContentsMargins(12, 12, 12, 12);
    boxColumn->setSpacing(6);
    boxColumn->addWidget(textLabel(QStringLiteral("This ring gives you"), TextStyle::captionStrong,
                                   Tone::secondary, false));
    preview_ = new QGridLayout;
    preview_->setVerticalSpacing(4);
    for (int index = 0; index < previewColumns; ++index)
        preview_->setColumnStretch(index, 1);
    boxColumn->addLayout(preview_);
    column->addWidget(box);
    column->addStretch();

    showSelection();
    connect(&model, &OnboardingModel::selectedTemplateIDChanged, this, &TemplatePage::showSelection);
}

void TemplatePage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The arrows move between the cards from the moment the page shows; a
    // focus already on the page stays.
    const QWidget *focus = window()->focusWidget();
    if (!event->spontaneous() && !(focus && isAncestorOf(focus)))
        focusChosenCard();
}

void TemplatePage::focusChosenCard()
{
    QAbstractButton *card = cards_->checkedButton();
    if (!card && !cards_->buttons().isEmpty())
        card = cards_->buttons().first();
    if (card)
        card->setFocus(Qt::OtherFocusReason);
}

void TemplatePage::showSelection()
{
    // An id that names no card leaves every card unchecked.
    cards_->setExclusive(false);
    for (QAbstractButton *button : cards_->buttons()) {
        auto *card = static_cast<TemplateCard *>(button);
        showChecked(card, card->templateID() == model_.selectedTemplateID());
    }
    cards_->setExclusive(true);
    // Arrows go on from the chosen card, however it was chosen.
    if (cards_->buttons().contains(qobject_cast<QAbstractButton *>(window()->focusWidget())))
        focusChosenCard();
    rebuildPreview();
}

void TemplatePage::rebuildPreview()
{
    while (QLayoutItem *item = preview_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QStringList titles = model_.previewTitles();
    for (int index = 0; index < titles.size(); ++index)
        preview_->addWidget(new PreviewTitle(titles.at(index)), index / previewColumns, index % previewColumns);
}

} // namespace vima
