#pragma once

#include "model/IconSpec.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QUuid>

class QWidget;

namespace vima {

class ConfigStore;
class UiPrompts;

// The saved packs sheet without its widgets: one row per saved pack, in
// stored order, and the confirmed deletion.
class SavedGroupsModel final : public QObject {
    Q_OBJECT

public:
    struct Row {
        QUuid id;
        QString name;      // "Untitled" for an empty name
        QString itemCount; // "1 item", "2 items"
        IconSpec icon;
        bool operator==(const Row &) const = default;
    };

    SavedGroupsModel(ConfigStore &store, UiPrompts &prompts, QObject *parent = nullptr);

    const QList<Row> &rows() const { return rows_; }
    // Asks first, modal to `window`; deletes only on "Delete", and only a
    // pack still saved by then.
    QCoro::Task<> confirmDelete(QUuid groupID, QWidget *window);

Q_SIGNALS:
    void rowsChanged();

private:
    ConfigStore &store_;
    UiPrompts &prompts_;
    QList<Row> rows_;
};

} // namespace vima
