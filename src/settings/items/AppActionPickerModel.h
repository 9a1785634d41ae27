#pragma once

#include "model/IconSpec.h"
#include "model/RingItem.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>
#include <functional>

namespace vima {

class ConfigStore;

// The rules of the sheet that turns an application's slot into a pack of
// its suggested actions: the candidates, their ticks and the conversion.
class AppActionPickerModel final : public QObject {
    Q_OBJECT

public:
    struct Target {
        QUuid ringID;
        QUuid itemID;
        QString bundleID;
        QString appName;
        IconSpec appIcon;
    };

    AppActionPickerModel(ConfigStore &store, Target target, QObject *parent = nullptr);

    // Told the slot that opens the new pack, only when one was made.
    std::function<void(const RingItem &item)> onCreated;

    const Target &target() const { return target_; }
    const QList<RingItem> &candidates() const { return candidates_; }
    bool isTicked(const QUuid &id) const { return selectedIDs_.contains(id); }
    qsizetype selectedCount() const { return selectedIDs_.size(); }
    QString headerTitle() const;
    QString selectedText() const;

    // Fresh suggestions, all ticked; on every opening.
    void loadCandidates();
    void toggle(const QUuid &id);
    // Makes the pack of the ticked candidates, in list order.
    void createPack();

Q_SIGNALS:
    void candidatesChanged();
    void ticksChanged();

private:
    ConfigStore &store_;
    Target target_;
    QList<RingItem> candidates_;
    QSet<QUuid> selectedIDs_;
};

} // namespace vima
