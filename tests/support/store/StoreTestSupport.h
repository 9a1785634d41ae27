#pragma once

#include "async/FakeScheduler.h"
#include "model/VimaConfig.h"
#include "store/ConfigStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace vima::test {

inline RingItem shellItem(qint64 slot, const QString &title = QStringLiteral("Item"))
{
    return {QUuid::createUuid(), title, IconSpec::symbol(QStringLiteral("terminal")), slot,
            ItemAction{ShellPayload{QStringLiteral("echo hi"), QStringLiteral("/bin/zsh"), false}}};
}

inline RingItem opener(qint64 slot, const QUuid &ringID)
{
    return {QUuid::createUuid(), QStringLiteral("More"),
            IconSpec::symbol(QStringLiteral("circle.grid.cross")), slot,
            ItemAction{OpenRingPayload{ringID}}};
}

inline Ring ring(const QString &name, const QList<RingItem> &items = {}, bool isSubRing = false,
                 const std::optional<QString> &bundleIDMatch = {})
{
    return {QUuid::createUuid(), name, bundleIDMatch, isSubRing, std::nullopt, items};
}

inline Ring pack(const QString &name, const QList<RingItem> &items = {})
{
    return ring(name, items, true);
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A store over a temporary folder, on a fake clock.
struct StoreFixture {
    QTemporaryDir root;
    FakeScheduler scheduler;
    std::unique_ptr<ConfigStore> store;

    QString folder() const { return root.filePath(QStringLiteral("Vima")); }
    QString file() const { return folder() + QStringLiteral("/config.json"); }

    // Writes `bytes` as the configuration file before the store loads it.
    void writeConfig(const QByteArray &bytes)
    {
        QDir().mkpath(folder());
        writeAll(file(), bytes);
    }
    void writeConfig(const VimaConfig &config) { writeConfig(ConfigStore::encode(config)); }

    ConfigStore &open()
    {
        store = std::make_unique<ConfigStore>(folder(), scheduler);
        return *store;
    }
    ConfigStore &open(const VimaConfig &config)
    {
        writeConfig(config);
        return open();
    }

    // The files kept aside beside config.json.
    QStringList copiesAside() const
    {
        return QDir(folder()).entryList({QStringLiteral("config.json.*.bak")}, QDir::Files | QDir::System);
    }
};

// A small configuration: one page, one pack it opens.
inline VimaConfig sampleConfig()
{
    VimaConfig config;
    Ring more = pack(QStringLiteral("More"), {shellItem(0, QStringLiteral("Inside"))});
    config.rings = {ring(QStringLiteral("Main"), {shellItem(0), opener(1, more.id)}), more};
    return config;
}

} // namespace vima::test
