#include "settings/ai/StrongModelNotice.h"

#include "ai/LLMService.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/kit/SettingsLooks.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace vima {

void showKeyStatus(StatusLine *line, const std::optional<AISettingsModel::KeyStatus> &status)
{
    line->setVisible(status.has_value());
    if (status)
        line->setStatus(status->ok ? Tone::success : Tone::warning,
                        status->ok ? QStringLiteral("checkmark.circle.fill")
                                   : QStringLiteral("exclamationmark.triangle.fill"),
                        status->text);
}

StrongModelNotice::StrongModelNotice(AISettingsModel &model, bool says, QWidget *parent)
    : QWidget(parent)
    , model_(model)
    , notice_(new StatusLine(Tone::warning, QStringLiteral("network"), QString()))
    , result_(new StatusLine(Tone::warning, QStringLiteral("exclamationmark.triangle.fill"), QString()))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    notice_->setVisible(says);
    layout->addWidget(notice_);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    for (const LLMProviderKind kind : allProviderKinds()) {
        if (!LLMService::isCloud(kind))
            continue;
        auto *button = new QPushButton(TextRoute::removeKeyLabel(kind));
        button->setAccessibleName(button->text());
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        connect(button, &QPushButton::clicked, &model_, [this, kind] { model_.removeKey(kind); });
        buttons_.insert(kind, button);
        focusOrder_ << button;
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addWidget(result_);
    connect(&model_, &AISettingsModel::changed, this, &StrongModelNotice::apply);
    apply();
}

void StrongModelNotice::showOnlyFor(LLMProviderKind chosen)
{
    onlyFor_ = chosen;
    apply();
}

void StrongModelNotice::apply()
{
    const TextRoute route = model_.route();
    setVisible(!route.strongModel.isEmpty() && (!onlyFor_ || *onlyFor_ == route.chosen));
    const QString notice = route.strongModelNotice();
    notice_->setText(notice);
    for (auto it = buttons_.cbegin(); it != buttons_.cend(); ++it) {
        it.value()->setVisible(route.strongModel.contains(it.key()));
        it.value()->setEnabled(model_.canRemove(it.key()));
        it.value()->setAccessibleDescription(notice);
    }
    // While a local provider is chosen the key section, and its result line, is hidden.
    showKeyStatus(result_, model_.status());
}

} // namespace vima
