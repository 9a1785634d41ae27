#pragma once

#include "model/Settings.h"

#include <QString>
#include <QStringList>

namespace vima {

// How the AI tab presents one provider: its row's texts and the models its
// menu suggests (none: no menu).
struct ProviderPresentation {
    LLMProviderKind kind;
    QString tagline;
    QString badge;
    QStringList suggestedModels;

    static const ProviderPresentation &of(LLMProviderKind kind);
};

} // namespace vima
