#include "settings/ai/RouteNotice.h"

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

RouteNotice::RouteNotice(AISettingsModel &model, bool says, QWidget *parent)
    : QWidget(parent)
    , model_(model)
    , says_(says)
    , notice_(new StatusLine(Tone::warning, QStringLiteral("network"), QString(), this))
    , result_(new StatusLine(Tone::warning, QStringLiteral("exclamationmark.triangle.fill"), QString(), this))
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
        auto *button = new QPushButton(TextRoute::removeKeyLabel(kind), this);
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
    connect(&model_, &AISettingsModel::changed, this, &RouteNotice::apply);
    apply();
}

void RouteNotice::showOnlyFor(LLMProviderKind chosen)
{
    onlyFor_ = chosen;
    apply();
}

void RouteNotice::apply()
{
    const TextRoute route = model_.route();
    const QString notice = route.notice();
    // A cloud choice sends text away whatever else is saved; its own key is
    // removed, with the result shown, in the key section.
    const bool removes = !route.chosenIsCloud() && !route.strongModel.isEmpty();
    setVisible((says_ ? !notice.isEmpty() : removes) && (!onlyFor_ || *onlyFor_ == route.chosen));
    notice_->setText(notice);
    for (auto it = buttons_.cbegin(); it != buttons_.cend(); ++it) {
        it.value()->setVisible(removes && route.strongModel.contains(it.key()));
        it.value()->setEnabled(model_.canRemove(it.key()));
        it.value()->setAccessibleDescription(notice);
    }
    showKeyStatus(result_, route.chosenIsCloud() ? std::nullopt : model_.status());
}

} // namespace vima
