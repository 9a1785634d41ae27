#pragma once

#include "model/Settings.h"
#include "settings/ai/AISettingsModel.h"

#include <QHash>
#include <QWidget>

class QPushButton;

namespace vima {

class StatusLine;

// Shows a key operation's result in `line`, or hides it when there is none.
void showKeyStatus(StatusLine *line, const std::optional<AISettingsModel::KeyStatus> &status);

// Where text goes besides the chosen provider: to others while it can't
// run, and the actions marked "Needs a strong model" to each cloud provider
// whose key is saved. While a local provider is chosen, offers a button per
// such provider that removes its key, and the removal's result. Hidden
// while text goes nowhere else.
class RouteNotice final : public QWidget {
    Q_OBJECT

public:
    // Without `says`, only the buttons and the result: the text around it
    // already tells where the actions go.
    RouteNotice(AISettingsModel &model, bool says, QWidget *parent);

    // Under a provider's row: shown only while that provider is chosen.
    void showOnlyFor(LLMProviderKind chosen);
    QPushButton *removeButton(LLMProviderKind kind) const { return buttons_.value(kind); }
    // The buttons, in the providers' order.
    const QList<QWidget *> &focusOrder() const { return focusOrder_; }

private:
    void apply();

    AISettingsModel &model_;
    bool says_;
    std::optional<LLMProviderKind> onlyFor_;
    StatusLine *notice_;
    QHash<LLMProviderKind, QPushButton *> buttons_;
    QList<QWidget *> focusOrder_;
    StatusLine *result_;
};

} // namespace vima
