#include "store/RepeatedIDs.h"

#include "store/RingLinks.h"

#include <QSet>

namespace vima {

namespace {

// Each later element of an id already seen gets one made from that id and a
// counter, the first such that no element of `list` and nothing in `taken` has.
template <typename Element>
void renameRepeats(QList<Element> &list, QSet<QUuid> taken)
{
    for (const Element &element : list)
        taken.insert(element.id);
    QSet<QUuid> seen;
    for (Element &element : list) {
        if (!seen.contains(element.id)) {
            seen.insert(element.id);
            continue;
        }
        int count = 0;
        QUuid own;
        do
            own = QUuid::createUuidV5(element.id, QString::number(++count));
        while (taken.contains(own));
        taken.insert(own);
        element.id = own;
    }
}

} // namespace

void giveRepeatedIDsTheirOwn(VimaConfig &config)
{
    // A ring link names the first ring of its id; no other ring may take the
    // id of a link, not even of one whose ring is gone.
    QSet<QUuid> linked;
    for (const Ring &ring : std::as_const(config.rings))
        for (const QUuid &id : openRingTargetIDs(ring.items))
            linked.insert(id);
    renameRepeats(config.rings, linked);
    for (Ring &ring : config.rings)
        renameRepeats(ring.items, {});
    renameRepeats(config.savedGroups, {});
}

} // namespace vima
