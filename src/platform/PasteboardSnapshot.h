#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

namespace vima {

// The saved contents of the clipboard: items, each a list of (type, data)
// pairs in the order the owner offered them.
struct PasteboardSnapshot {
    using Entry = std::pair<QString, QByteArray>;
    using Item = QList<Entry>;

    QList<Item> items;

    bool isEmpty() const { return items.isEmpty(); }
    bool operator==(const PasteboardSnapshot &) const = default;
};

} // namespace vima
