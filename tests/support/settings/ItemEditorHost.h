#pragma once

#include "store/ConfigStore.h"

#include <QObject>
#include <QUuid>

namespace vima::test {

// Stands in for the Items tab around a slot editor (the model or the view):
// writes each edit back into its ring by id, moves the slot when asked, and
// shows the stored item again after every change of the configuration.
template<typename Editor>
class ItemEditorHost {
public:
    ItemEditorHost(ConfigStore &store, Editor &editor, const QUuid &ringID, const QUuid &itemID)
        : store_(store), editor_(editor), ringID_(ringID), itemID_(itemID)
    {
        editor.onAssignSlot = [this](qint64 slot) { store_.moveItem(itemID_, slot, ringID_); };
        QObject::connect(&editor, &Editor::itemEdited, &alive_, [this](const RingItem &item) {
            ++writes;
            writeBack(item);
        });
        QObject::connect(&store, &ConfigStore::configChanged, &alive_, [this] { refresh(); });
        refresh();
    }

    RingItem stored() const
    {
        const Ring ring = *store_.config().ringWithID(ringID_);
        return *std::find_if(ring.items.begin(), ring.items.end(),
                             [&](const RingItem &item) { return item.id == itemID_; });
    }

    int writes = 0;

private:
    void writeBack(const RingItem &item)
    {
        store_.edit([&](VimaConfig &config) {
            for (Ring &ring : config.rings) {
                for (RingItem &slot : ring.items) {
                    if (ring.id == ringID_ && slot.id == item.id)
                        slot = item;
                }
            }
        });
    }

    void refresh()
    {
        const VimaConfig &config = store_.config();
        const std::optional<Ring> ring = config.ringWithID(ringID_);
        if (!ring)
            return;
        editor_.setSlotCount(ring->slotCount.value_or(config.slotCount));
        editor_.setDefaultLanguage(config.ai.defaultTargetLanguage);
        editor_.setSubRings(config.subRings());
        for (const RingItem &item : ring->items) {
            if (item.id == itemID_)
                editor_.setItem(item);
        }
    }

    QObject alive_; // ends the connections with the host
    ConfigStore &store_;
    Editor &editor_;
    QUuid ringID_;
    QUuid itemID_;
};

} // namespace vima::test
