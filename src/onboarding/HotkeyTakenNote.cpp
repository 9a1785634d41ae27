#include "onboarding/HotkeyTakenNote.h"

#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace vima {

HotkeyTakenNote::HotkeyTakenNote(OnboardingModel &model, QWidget *parent) : QWidget(parent)
{
    using namespace onboarding;
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addStretch();
    row->addWidget(textLabel(QStringLiteral("This hotkey is taken by another application. Pick another on the General tab."),
                             TextStyle::callout, Tone::warning, false));
    QPushButton *link = linkButton(QStringLiteral("Open General Settings"));
    link->setFont(onboarding::font(TextStyle::callout));
    row->addWidget(link);
    row->addStretch();
    connect(link, &QPushButton::clicked, &model, &OnboardingModel::openGeneralSettings);
    if (!model.hotkeyTaken())
        hide();
    connect(&model, &OnboardingModel::hotkeyTakenChanged, this, [this, &model] { setVisible(model.hotkeyTaken()); });
}

} // namespace vima
