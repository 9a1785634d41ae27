#include "settings/items/AppActionPickerModel.h"

#include "model/AppSuggestions.h"
#include "ring/RingText.h"
#include "store/ConfigStore.h"

namespace vima {

AppActionPickerModel::AppActionPickerModel(ConfigStore &store, Target target, QObject *parent)
    : QObject(parent), store_(store), target_(std::move(target))
{
}

QString AppActionPickerModel::headerTitle() const
{
    return RingText::bounded(target_.appName) + QStringLiteral(" actions");
}

QString AppActionPickerModel::selectedText() const
{
    return QString::number(selectedCount()) + QStringLiteral(" selected");
}

void AppActionPickerModel::loadCandidates()
{
    candidates_ = suggestedAppActions(target_.bundleID, target_.appName,
                                      store_.config().ai.defaultTargetLanguage);
    selectedIDs_.clear();
    for (const RingItem &candidate : std::as_const(candidates_))
        selectedIDs_.insert(candidate.id);
    Q_EMIT candidatesChanged();
    Q_EMIT ticksChanged();
}

void AppActionPickerModel::toggle(const QUuid &id)
{
    if (!selectedIDs_.remove(id))
        selectedIDs_.insert(id);
    Q_EMIT ticksChanged();
}

void AppActionPickerModel::createPack()
{
    QList<RingItem> picked;
    for (const RingItem &candidate : std::as_const(candidates_)) {
        if (selectedIDs_.contains(candidate.id))
            picked << candidate;
    }
    const std::optional<RingItem> created = store_.turnAppItemIntoPack(
        target_.itemID, target_.ringID, picked, target_.appName, target_.appIcon);
    if (created && onCreated)
        onCreated(*created);
}

} // namespace vima
