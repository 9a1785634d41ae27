#include "settings/ai/AIPrivacyDisclosure.h"

#include "settings/kit/DisclosureRow.h"

#include <QVBoxLayout>

namespace vima {

AIPrivacyDisclosure::AIPrivacyDisclosure(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const DisclosureText &row : rows())
        layout->addWidget(new DisclosureRow(row, this));
}

QString AIPrivacyDisclosure::heading()
{
    return QStringLiteral("Where your text goes");
}

QList<DisclosureText> AIPrivacyDisclosure::rows()
{
    return {
        {QStringLiteral("lock.shield"), QStringLiteral("Read only on demand"),
         QStringLiteral("Tavelon reads a selection at the moment you activate an action, never in the background, "
                        "and stores no history of what you select.")},
        {QStringLiteral("desktopcomputer"), QStringLiteral("Local by default"),
         QStringLiteral("The default, a local Ollama server, runs on this computer — your text never leaves it. "
                        "Tavelon also ships with no analytics or telemetry of any kind.")},
        {QStringLiteral("network"), QStringLiteral("Cloud only when you choose it"),
         QStringLiteral("Text goes to Anthropic or OpenAI only when you chose one of them, or for an action "
                        "marked “Needs a strong model” while a cloud key is saved. Fallback never moves text from "
                        "a local provider to the cloud.")},
    };
}

} // namespace vima
