#pragma once

#include "model/Settings.h"

#include <QList>
#include <QString>

namespace vima {

class LLMService;

// Where the selected text of an AI action may go with the current settings:
// to the chosen provider and, while that one is local, to every cloud
// provider whose key is saved, for the actions marked "Needs a strong model".
struct TextRoute {
    LLMProviderKind chosen = LLMProviderKind::ollama;
    // The cloud providers that take strong-model actions from a local
    // choice, in the order tried; empty while a cloud provider is chosen.
    QList<LLMProviderKind> strongModel;

    static TextRoute of(const LLMService &llm, const AISettings &settings);

    bool chosenIsCloud() const;
    // No text leaves this computer.
    bool staysLocal() const { return !chosenIsCloud() && strongModel.isEmpty(); }
    // Which providers take strong-model actions, and why; empty while none do.
    QString strongModelNotice() const;
    static QString removeKeyLabel(LLMProviderKind kind);

    bool operator==(const TextRoute &) const = default;
};

} // namespace vima
