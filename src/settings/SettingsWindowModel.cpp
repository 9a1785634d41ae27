#include "settings/SettingsWindowModel.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "store/ConfigStore.h"

namespace vima {

const QString SettingsWindowModel::selectTabNotification = notifications::selectSettingsTab;

SettingsWindowModel::SettingsWindowModel(ConfigStore &store, NotificationCenter &notifications, SettingsTab tab,
                                         QObject *parent)
    : QObject(parent), store_(store), notifications_(notifications), tab_(tab)
{
    observer_ = notifications_.observe(selectTabNotification, [this](const QVariant &object) {
        if (object.typeId() != QMetaType::QString)
            return;
        if (const auto tab = settingsTabFromRawValue(object.toString()))
            setTab(*tab);
    });
    connect(&store_, &ConfigStore::lastErrorChanged, this, &SettingsWindowModel::bannerTextChanged);
    connect(&store_, &ConfigStore::noticeChanged, this, &SettingsWindowModel::bannerTextChanged);
}

SettingsWindowModel::~SettingsWindowModel() { notifications_.remove(observer_); }

void SettingsWindowModel::setTab(SettingsTab tab)
{
    if (tab_ == tab)
        return;
    tab_ = tab;
    Q_EMIT tabChanged(tab);
}

// A failure says what to do now; the notice waits for it to clear.
std::optional<QString> SettingsWindowModel::bannerText() const
{
    return store_.lastError() ? store_.lastError() : store_.notice();
}

void SettingsWindowModel::windowClosing() { store_.save(); }

} // namespace vima
