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

// Where a local choice still sends text off this computer: the actions
// marked "Needs a strong model" go to each cloud provider whose key is
// saved. Offers a button per provider that removes its key, and the
// removal's result. Hidden while nothing goes off this computer.
class StrongModelNotice final : public QWidget {
    Q_OBJECT

public:
    // Without `says`, only the buttons and the result: the text around it
    // already tells where the actions go.
    StrongModelNotice(AISettingsModel &model, bool says, QWidget *parent = nullptr);

    // Under a provider's row: shown only while that provider is chosen.
    void showOnlyFor(LLMProviderKind chosen);
    QPushButton *removeButton(LLMProviderKind kind) const { return buttons_.value(kind); }
    // The buttons, in the providers' order.
    const QList<QWidget *> &focusOrder() const { return focusOrder_; }

private:
    void apply();

    AISettingsModel &model_;
    std::optional<LLMProviderKind> onlyFor_;
    StatusLine *notice_;
    QHash<LLMProviderKind, QPushButton *> buttons_;
    QList<QWidget *> focusOrder_;
    StatusLine *result_;
};

} // namespace vima
