#include "settings/packs/SavedGroupsModel.h"

#include "platform/UiPrompts.h"
#include "settings/kit/ShownName.h"
#include "store/ConfigStore.h"

#include <QPointer>
#include <algorithm>

namespace vima {

SavedGroupsModel::SavedGroupsModel(ConfigStore &store, UiPrompts &prompts, QObject *parent)
    : QObject(parent), store_(store), prompts_(prompts)
{
    store_.watch(this, &VimaConfig::savedGroups, [this](const QList<SavedGroup> &groups) {
        QList<Row> rows;
        for (const SavedGroup &group : groups) {
            const qsizetype count = group.items.size();
            rows.append({group.id, shownName(group.name),
                         QString::number(count) + (count == 1 ? QStringLiteral(" item") : QStringLiteral(" items")),
                         group.icon});
        }
        if (rows == rows_)
            return;
        rows_ = rows;
        Q_EMIT rowsChanged();
    });
}

QCoro::Task<> SavedGroupsModel::confirmDelete(QUuid groupID, QWidget *window)
{
    const auto found = std::find_if(rows_.cbegin(), rows_.cend(), [&](const Row &row) { return row.id == groupID; });
    if (found == rows_.cend())
        co_return;
    QPointer<SavedGroupsModel> self(this);
    const bool confirmed = co_await prompts_.confirm(
        window, QStringLiteral("Delete “") + shownName(found->name) + QStringLiteral("”?"),
        QStringLiteral("Rings already made from it are untouched. This can't be undone."), QStringLiteral("Delete"));
    if (!confirmed || !self)
        co_return;
    const QList<SavedGroup> &saved = self->store_.config().savedGroups;
    if (std::any_of(saved.cbegin(), saved.cend(), [&](const SavedGroup &group) { return group.id == groupID; }))
        self->store_.deleteSavedGroup(groupID);
}

} // namespace vima
