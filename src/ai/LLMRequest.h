#pragma once

#include <QJsonArray>
#include <QString>
#include <QtGlobal>

namespace vima {

// What one provider is asked.
struct LLMRequest {
    QString systemPrompt;
    QString userText;
    QString model;
    qint64 maxTokens = 0;
    double timeout = 0; // seconds, for the whole exchange

    // Bounds a time-out taken from the configuration before any timer is built
    // from it: not a number gives the default, the rest is clamped to a finite
    // positive range.
    static double clampedTimeout(double seconds);

    // The system prompt and the user's text as the messages of a chat API.
    QJsonArray chatMessages() const;

    bool operator==(const LLMRequest &) const = default;
};

} // namespace vima
