#pragma once

#include "model/Settings.h"

#include <QList>
#include <QString>

namespace vima {

class LLMService;

// Where the selected text of an AI action may go with the current settings:
// to the chosen provider, to those fallback hands it to while that one can't
// run, and, for the actions marked "Needs a strong model", to every cloud
// provider tried before it because its key is saved.
struct TextRoute {
    LLMProviderKind chosen = LLMProviderKind::ollama;
    // While the chosen provider can't run, the providers that take its
    // actions instead, in the order tried; empty while it runs.
    QList<LLMProviderKind> instead;
    // The cloud providers tried before the chosen one for strong-model
    // actions, in that order.
    QList<LLMProviderKind> strongModel;

    static TextRoute of(const LLMService &llm, const AISettings &settings);

    bool chosenIsCloud() const;
    // No text leaves this computer.
    bool staysLocal() const;
    // Where text goes besides the chosen provider, and why; empty while it goes nowhere else.
    QString notice() const;
    static QString removeKeyLabel(LLMProviderKind kind);

    bool operator==(const TextRoute &) const = default;
};

} // namespace vima
