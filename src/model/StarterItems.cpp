#include "model/StarterItems.h"

#include "model/ActionPreset.h"

#include <QUuid>

namespace vima {

namespace {

// The starter slots are the library's own presets made into slots.
RingItem presetItem(const char *id, qint64 slot, const QString &language = {})
{
    return ActionPreset::presetWithID(QString::fromLatin1(id)).value().makeItem(slot, language);
}

} // namespace

QList<RingItem> starterItems(qint64 first, const QString &language)
{
    return {rewriteItem(first), summarizeItem(first + 1), translateItem(first + 2, language),
            explainItem(first + 3), customItem(first + 4)};
}

RingItem rewriteItem(qint64 slot)
{
    return presetItem("writing.rewrite", slot);
}

RingItem summarizeItem(qint64 slot)
{
    return presetItem("reading.summarize", slot);
}

RingItem translateItem(qint64 slot, const QString &language)
{
    return presetItem("language.translate", slot, language);
}

RingItem explainItem(qint64 slot)
{
    return presetItem("reading.explain-simply", slot);
}

RingItem customItem(qint64 slot)
{
    AIPayload payload;
    payload.systemPrompt = QStringLiteral(
        "Respond to the user's text however is most useful. Reply with the result only.");
    return RingItem{QUuid::createUuid(), QStringLiteral("Custom"),
                    IconSpec::symbol(QStringLiteral("slider.horizontal.3")), slot,
                    ItemAction{payload}};
}

} // namespace vima
