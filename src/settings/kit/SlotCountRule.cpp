#include "settings/kit/SlotCountRule.h"

#include "settings/kit/ShownName.h"

namespace vima::SlotCountRule {

std::optional<QString> refusal(const Ring &ring, qint64 count)
{
    if (ring.items.size() <= count)
        return std::nullopt;
    const QString name = shownName(ring.name);
    return QStringLiteral("“%1” has %2 items, more than %3 slots can show. Remove some of its items first.")
        .arg(name)
        .arg(ring.items.size())
        .arg(count);
}

std::optional<QString> refusal(const VimaConfig &config, qint64 count)
{
    for (const Ring &ring : config.rings) {
        if (ring.slotCount)
            continue;
        if (auto why = refusal(ring, count))
            return why;
    }
    return std::nullopt;
}

} // namespace vima::SlotCountRule
