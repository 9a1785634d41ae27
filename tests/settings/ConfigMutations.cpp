#include "ConfigMutations.h"

#include "model/JsonReader.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QVariant>
#include <functional>

namespace vima::test {

namespace {

// A place in the document: object keys (QString) and array indexes (int).
using Path = QList<QVariant>;

const QUuid fixedIDs(QStringLiteral("{6f1c2a52-0d3e-4c8b-9a57-3b1e2f4d5c60}"));

QUuid fixedID(const QString &name) { return QUuid::createUuidV5(fixedIDs, name); }

QString idText(const QUuid &id) { return id.toString(QUuid::WithoutBraces).toUpper(); }

QJsonValue valueAt(QJsonValue node, const Path &path)
{
    for (const QVariant &step : path)
        node = step.typeId() == QMetaType::Int ? node.toArray().at(step.toInt()) : node.toObject().value(step.toString());
    return node;
}

// `node` with the value at `path` (from `depth` on) replaced by `change` of it.
QJsonValue changedAt(const QJsonValue &node, const Path &path, qsizetype depth,
                     const std::function<QJsonValue(const QJsonValue &)> &change)
{
    if (depth == path.size())
        return change(node);
    const QVariant &step = path.at(depth);
    if (step.typeId() == QMetaType::Int) {
        QJsonArray array = node.toArray();
        array[step.toInt()] = changedAt(array.at(step.toInt()), path, depth + 1, change);
        return array;
    }
    QJsonObject object = node.toObject();
    object[step.toString()] = changedAt(object.value(step.toString()), path, depth + 1, change);
    return object;
}

void collectPaths(const QJsonValue &node, Path &path, QList<Path> &out)
{
    if (node.isObject()) {
        const QJsonObject object = node.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            path.append(it.key());
            out.append(path);
            collectPaths(it.value(), path, out);
            path.removeLast();
        }
    } else if (node.isArray()) {
        const QJsonArray array = node.toArray();
        for (int index = 0; index < array.size(); ++index) {
            path.append(index);
            out.append(path);
            collectPaths(array.at(index), path, out);
            path.removeLast();
        }
    }
}

QJsonArray firstOf(const QJsonValue &array, int count)
{
    QJsonArray kept;
    for (const QJsonValue &element : array.toArray())
        if (kept.size() < count)
            kept.append(element);
    return kept;
}

QString lastKey(const Path &path)
{
    for (qsizetype at = path.size() - 1; at >= 0; --at)
        if (path.at(at).typeId() != QMetaType::Int)
            return path.at(at).toString();
    return {};
}

// One case being made: the document, its dice, and raw JSON texts to put in
// place of markers once the document is written (numbers JSON values can't hold).
class Mutation {
public:
    Mutation(const QByteArray &base, int index, quint32 seed)
        : root_(QJsonDocument::fromJson(base).object()), index_(index), random_(seed)
    {
    }

    int index() const { return index_; }

    QByteArray bytes() const
    {
        QByteArray bytes = QJsonDocument(root_).toJson();
        for (auto it = literals_.begin(); it != literals_.end(); ++it)
            bytes.replace('"' + it.key().toUtf8() + '"', it.value());
        return bytes;
    }
    void setBytes(const QByteArray &bytes) { cut_ = bytes; }
    QByteArray result() const { return cut_.isNull() ? bytes() : cut_; }

    int dice(int count) { return int(random_.bounded(quint32(count))); }
    template <typename List>
    const auto &pick(const List &list) { return list.at(dice(int(list.size()))); }

    QJsonValue at(const Path &path) const { return valueAt(root_, path); }
    void set(const Path &path, const QJsonValue &value)
    {
        root_ = changedAt(root_, path, 0, [&](const QJsonValue &) { return value; }).toObject();
    }
    void change(const Path &path, const std::function<QJsonValue(const QJsonValue &)> &how)
    {
        root_ = changedAt(root_, path, 0, how).toObject();
    }
    // A JSON text written as it is where a marker stands.
    QJsonValue literal(const QByteArray &json)
    {
        const QString marker = QStringLiteral("@@literal%1@@").arg(literals_.size());
        literals_.insert(marker, json);
        return marker;
    }

    QList<Path> paths(const std::function<bool(const Path &, const QJsonValue &)> &keep) const
    {
        QList<Path> all;
        Path path;
        collectPaths(root_, path, all);
        QList<Path> kept;
        for (const Path &candidate : all)
            if (keep(candidate, valueAt(root_, candidate)))
                kept.append(candidate);
        return kept;
    }
    // Every list of items: of the rings, of the saved packs and of their nested rings.
    QList<Path> itemLists(bool nonEmpty = true) const
    {
        return paths([nonEmpty](const Path &path, const QJsonValue &value) {
            return value.isArray() && lastKey(path) == QLatin1String("items") && path.last().typeId() != QMetaType::Int
                   && (!nonEmpty || !value.toArray().isEmpty());
        });
    }
    // Every list of rings: the configuration's, and each saved pack's nested ones.
    QList<Path> ringLists() const
    {
        return paths([](const Path &path, const QJsonValue &value) {
            const QString key = lastKey(path);
            return value.isArray() && !value.toArray().isEmpty() && path.last().typeId() != QMetaType::Int
                   && (key == QLatin1String("rings") || key == QLatin1String("nestedRings"));
        });
    }
    // Inserts `value` into the array at `path`, at a random place.
    void insertSomewhere(const Path &path, const QJsonValue &value)
    {
        change(path, [&](const QJsonValue &node) {
            QJsonArray array = node.toArray();
            array.insert(dice(int(array.size()) + 1), value);
            return array;
        });
    }
    QJsonObject randomElement(const Path &list, Path *chosen = nullptr)
    {
        const QJsonArray array = at(list).toArray();
        const int index = dice(int(array.size()));
        if (chosen)
            *chosen = list + Path{index};
        return array.at(index).toObject();
    }

private:
    QJsonObject root_;
    int index_;
    QRandomGenerator random_;
    QHash<QString, QByteArray> literals_;
    QByteArray cut_;
};

const QList<QByteArray> extremeNumbers{
    "0", "-0", "-1", "1", "0.5", "-0.5", "24", "25", "1e9", "2147483647", "2147483648", "4294967296",
    "9007199254740993", "9223372036854775807", "-9223372036854775807", "-9223372036854775808",
    "9223372036854775808", "18446744073709551616", "1e308", "-1e308", "1e400", "-1e400", "5e-324", "1e-400"};
const QList<QByteArray> hugeCounts{"0", "-1", "25", "1000", "1000000000", "2147483648", "4294967296",
                                   "9223372036854775807", "-9223372036854775808"};
const QList<QByteArray> hugeSlots{"-1", "24", "1000000000", "2147483647", "2147483648", "4294967295",
                                  "9223372036854775806", "9223372036854775807", "-9223372036854775808"};

void types(Mutation &m)
{
    const QList<Path> all = m.paths([](const Path &, const QJsonValue &) { return true; });
    const Path path = m.pick(all);
    const QJsonValue old = m.at(path);
    const QList<QJsonValue> others{QJsonValue(), true, 0, -1, 1.5, QString(), QStringLiteral("x"), QJsonArray(),
                                   QJsonObject(), QJsonArray{1, QStringLiteral("a")},
                                   QJsonObject{{QStringLiteral("a"), 1}}};
    QJsonValue replacement = m.pick(others);
    for (int tries = 0; replacement.type() == old.type() && tries < 20; ++tries)
        replacement = m.pick(others);
    m.set(path, replacement);
}

void numbers(Mutation &m)
{
    const QList<Path> numeric = m.paths([](const Path &, const QJsonValue &value) { return value.isDouble(); });
    m.set(m.pick(numeric), m.literal(m.pick(extremeNumbers)));
}

void dupItems(Mutation &m)
{
    const QList<Path> lists = m.itemLists();
    const Path from = m.pick(lists);
    QJsonObject copy = m.randomElement(from);
    switch (m.dice(4)) {
    case 0: m.insertSomewhere(from, copy); break; // as pasted
    case 1: // pasted, then given another title and slot
        copy[QStringLiteral("title")] = QStringLiteral("Copy");
        copy[QStringLiteral("slot")] = m.dice(8);
        m.insertSomewhere(from, copy);
        break;
    case 2: m.insertSomewhere(m.pick(m.itemLists(false)), copy); break; // into another list
    default: // several copies, one with another item's action
        for (int copies = 1 + m.dice(3); copies > 0; --copies)
            m.insertSomewhere(from, copy);
        copy[QStringLiteral("action")] = m.randomElement(m.pick(lists)).value(QStringLiteral("action"));
        m.insertSomewhere(from, copy);
        break;
    }
}

void dupRings(Mutation &m)
{
    const Path from = m.pick(m.ringLists());
    QJsonObject copy = m.randomElement(from);
    switch (m.dice(4)) {
    case 0: m.insertSomewhere(from, copy); break;
    case 1: // another kind of ring, fewer items
        copy[QStringLiteral("name")] = QStringLiteral("Copy");
        copy[QStringLiteral("isSubRing")] = !copy.value(QStringLiteral("isSubRing")).toBool();
        copy[QStringLiteral("items")] = firstOf(copy.value(QStringLiteral("items")), m.dice(3));
        m.insertSomewhere(from, copy);
        break;
    case 2: // an app ring of another application
        copy[QStringLiteral("bundleIDMatch")] = QStringLiteral("org.example.Copy");
        copy[QStringLiteral("isSubRing")] = false;
        m.insertSomewhere(from, copy);
        break;
    default: // into the other list (a saved pack's nested rings, or the configuration's)
        m.insertSomewhere(m.pick(m.ringLists()), copy);
        break;
    }
}

void dupPacks(Mutation &m)
{
    const Path groups{QStringLiteral("savedGroups")};
    Path chosen;
    QJsonObject copy = m.randomElement(groups, &chosen);
    switch (m.dice(4)) {
    case 0: m.insertSomewhere(groups, copy); break;
    case 1:
        copy[QStringLiteral("name")] = QStringLiteral("Copy");
        copy[QStringLiteral("items")] = firstOf(copy.value(QStringLiteral("items")), 1);
        m.insertSomewhere(groups, copy);
        m.insertSomewhere(groups, copy);
        break;
    case 2: { // a nested ring twice
        const Path nested = chosen + Path{QStringLiteral("nestedRings")};
        if (!m.at(nested).toArray().isEmpty())
            m.insertSomewhere(nested, m.randomElement(nested));
        m.insertSomewhere(groups, copy);
        break;
    }
    default: { // its items twice
        const Path items = chosen + Path{QStringLiteral("items")};
        m.insertSomewhere(items, m.randomElement(items));
        m.insertSomewhere(groups, copy);
        break;
    }
    }
}

void counts(Mutation &m)
{
    const QList<Path> rings = m.paths([](const Path &path, const QJsonValue &value) {
        return value.isObject() && value.toObject().contains(QStringLiteral("isSubRing"))
               && path.last().typeId() == QMetaType::Int;
    });
    const Path ring = m.pick(rings);
    const Path items = ring + Path{QStringLiteral("items")};
    const int itemCount = int(m.at(items).toArray().size());
    const int kind = m.dice(4);
    if (kind != 1)
        m.set(ring + Path{QStringLiteral("slotCount")}, m.literal(m.pick(hugeCounts)));
    if (kind != 0 && itemCount > 0)
        m.set(items + Path{m.dice(itemCount), QStringLiteral("slot")}, m.literal(m.pick(hugeSlots)));
    if (kind == 3) { // every item far out, each in a slot of its own
        for (int index = 0; index < itemCount; ++index)
            m.set(items + Path{index, QStringLiteral("slot")},
                  m.literal(QByteArray::number(std::numeric_limits<qint64>::max() - index)));
    }
    if (m.dice(4) == 0)
        m.set({QStringLiteral("slotCount")}, m.literal(m.pick(hugeCounts)));
}

QString repeated(const QString &unit, int times) { return unit.repeated(times); }

QString longText(Mutation &m)
{
    const int size = m.pick(QList<int>{1000, 30000, 100000});
    switch (m.dice(7)) {
    case 0: return QStringLiteral("e") + repeated(QString(QChar(0x0301)), size);       // one grapheme
    case 1: return repeated(QStringLiteral("\U0001F600"), size / 5);                     // emoji
    case 2: return repeated(QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467"), size / 20); // families
    case 3: return repeated(QStringLiteral("W"), size * 2);                               // one word
    case 4: return repeated(QStringLiteral("line\n"), size / 5);
    case 5: return QStringLiteral("\u202Eevil\u0000\u001b[31mred\u0007<b>bold</b><img src=x>&amp;\r\n\t")
                   .repeated(1 + size / 1000);
    default: return repeated(QStringLiteral("\u05D0\u0645 "), size / 3); // right to left
    }
}

void texts(Mutation &m)
{
    const QStringList shown{"title", "name", "prompt", "script", "source", "model", "bundleIDMatch", "value",
                            "target", "bundleID", "path", "defaultTargetLanguage", "shell", "targetLanguage"};
    const bool anyString = m.dice(4) == 0;
    const QList<Path> strings = m.paths([&](const Path &path, const QJsonValue &value) {
        const QString key = lastKey(path);
        // The local server's address is asked at once: a text there would go to the network.
        return value.isString() && key != QLatin1String("ollamaBaseURL")
               && !JsonReader::parseUuid(value.toString()) && (anyString || shown.contains(key));
    });
    if (m.dice(5) == 0) { // lone surrogates, written as JSON escapes
        m.set(m.pick(strings), m.literal("\"\\ud800a\\udfff\\udc00\\ud83d\""));
        return;
    }
    m.set(m.pick(strings), longText(m));
}

// A million user-perceived characters, or one carrying a million marks, as the
// first page's first title: ten times the texts above, the size of files that
// once stalled the views.
void longest(Mutation &m)
{
    constexpr int size = 1000000;
    const QString title = m.index() == 0 ? QStringLiteral("e") + repeated(QString(QChar(0x0301)), size)
                                         : repeated(QStringLiteral("\U0001F600"), size);
    m.set({QStringLiteral("rings"), 0, QStringLiteral("items"), 0, QStringLiteral("title")}, title);
}

Path firstItemAction(const Path &ring) { return ring + Path{QStringLiteral("items"), 0, QStringLiteral("action")}; }

QJsonObject opening(const QString &ringID)
{
    return {{QStringLiteral("type"), QStringLiteral("openRing")},
            {QStringLiteral("payload"), QJsonObject{{QStringLiteral("ringID"), ringID}}}};
}

void cycles(Mutation &m)
{
    const Path rings{QStringLiteral("rings")};
    const QJsonArray list = m.at(rings).toArray();
    QList<int> withItems;
    for (int index = 0; index < list.size(); ++index)
        if (!list.at(index).toObject().value(QStringLiteral("items")).toArray().isEmpty())
            withItems.append(index);
    const int a = m.pick(withItems), b = m.pick(withItems);
    const QString idA = list.at(a).toObject().value(QStringLiteral("id")).toString();
    const QString idB = list.at(b).toObject().value(QStringLiteral("id")).toString();
    switch (m.dice(5)) {
    case 0: m.set(firstItemAction(rings + Path{a}), opening(idA)); break; // opens itself
    case 1: // two rings opening each other
        m.set(firstItemAction(rings + Path{a}), opening(idB));
        m.set(firstItemAction(rings + Path{b}), opening(idA));
        break;
    case 2: m.set(firstItemAction(rings + Path{a}), opening(idText(fixedID(QStringLiteral("missing"))))); break;
    case 3: { // a ring of packs deeper than the ring goes, back to its start
        const int length = 3 + m.dice(4); // the ring opens 4 deep
        QJsonObject pack = list.at(a).toObject();
        pack[QStringLiteral("isSubRing")] = true;
        for (int step = 0; step < length; ++step) {
            pack[QStringLiteral("id")] = idText(fixedID(QStringLiteral("chain%1").arg(step)));
            QJsonArray items = pack.value(QStringLiteral("items")).toArray();
            QJsonObject first = items.at(0).toObject();
            first[QStringLiteral("action")] = opening(idText(fixedID(QStringLiteral("chain%1").arg((step + 1) % length))));
            items[0] = first;
            pack[QStringLiteral("items")] = items;
            m.insertSomewhere(rings, pack);
        }
        break;
    }
    default: { // a saved pack whose nested ring opens itself and a ring outside
        Path group;
        m.randomElement({QStringLiteral("savedGroups")}, &group);
        const Path nested = group + Path{QStringLiteral("nestedRings")};
        m.insertSomewhere(nested, list.at(a));
        m.set(firstItemAction(nested + Path{0}), opening(idA));
        m.set(firstItemAction(group), opening(idB));
        break;
    }
    }
}

void cuts(Mutation &m)
{
    switch (m.dice(4)) {
    case 0: {
        const QByteArray whole = m.bytes();
        m.setBytes(whole.left(m.dice(int(whole.size()))));
        break;
    }
    case 1: { // a key taken out
        const QList<Path> keys =
            m.paths([](const Path &path, const QJsonValue &) { return path.last().typeId() != QMetaType::Int; });
        const Path path = m.pick(keys);
        m.change(path.mid(0, path.size() - 1), [&](const QJsonValue &node) {
            QJsonObject object = node.toObject();
            object.remove(path.last().toString());
            return object;
        });
        break;
    }
    case 2: { // an element taken out of a list
        const QList<Path> elements =
            m.paths([](const Path &path, const QJsonValue &) { return path.last().typeId() == QMetaType::Int; });
        const Path path = m.pick(elements);
        m.change(path.mid(0, path.size() - 1), [&](const QJsonValue &node) {
            QJsonArray array = node.toArray();
            array.removeAt(path.last().toInt());
            return array;
        });
        break;
    }
    default: { // a list or object emptied
        const QList<Path> containers = m.paths(
            [](const Path &, const QJsonValue &value) { return value.isArray() || value.isObject(); });
        const Path path = m.pick(containers);
        m.set(path, m.at(path).isArray() ? QJsonValue(QJsonArray()) : QJsonValue(QJsonObject()));
        break;
    }
    }
}

struct MutationClass {
    QString name;
    void (*mutate)(Mutation &);
    int cases = 24;
};

const QList<MutationClass> &mutators()
{
    static const QList<MutationClass> all{
        {QStringLiteral("types"), types},       {QStringLiteral("numbers"), numbers},
        {QStringLiteral("dupItems"), dupItems}, {QStringLiteral("dupRings"), dupRings},
        {QStringLiteral("dupPacks"), dupPacks}, {QStringLiteral("counts"), counts},
        {QStringLiteral("texts"), texts},       {QStringLiteral("cycles"), cycles},
        {QStringLiteral("cuts"), cuts},         {QStringLiteral("longest"), longest, 2},
    };
    return all;
}

} // namespace

const QStringList &ConfigMutations::classes()
{
    static const QStringList names = [] {
        QStringList list;
        for (const MutationClass &mutator : mutators())
            list.append(mutator.name);
        return list;
    }();
    return names;
}

int ConfigMutations::caseCount(const QString &className)
{
    return mutators().at(classes().indexOf(className)).cases;
}

QByteArray ConfigMutations::base()
{
    static const QByteArray bytes = [] {
        QFile file(QStringLiteral(VIMA_GENERATED_BASE));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("Cannot read %s", qPrintable(file.fileName()));
        return file.readAll();
    }();
    return bytes;
}

QByteArray ConfigMutations::make(const QString &className, int index)
{
    const int classIndex = int(classes().indexOf(className));
    Q_ASSERT(classIndex >= 0);
    Mutation mutation(base(), index, quint32(20260401 + 1009 * classIndex + index));
    mutators().at(classIndex).mutate(mutation);
    return mutation.result();
}

} // namespace vima::test
