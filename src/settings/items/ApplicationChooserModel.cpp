#include "settings/items/ApplicationChooserModel.h"

namespace vima {

void ApplicationChooserModel::setApps(const QList<InstalledApp> &apps)
{
    apps_ = apps;
    loaded_ = true;
    narrow();
}

void ApplicationChooserModel::setFilter(const QString &filter)
{
    if (filter == filter_)
        return;
    filter_ = filter;
    narrow();
}

void ApplicationChooserModel::narrow()
{
    const QString wanted = filter_.trimmed();
    shown_.clear();
    for (const InstalledApp &app : std::as_const(apps_)) {
        if (app.name.contains(wanted, Qt::CaseInsensitive) || app.bundleID.contains(wanted, Qt::CaseInsensitive))
            shown_ << app;
    }
    Q_EMIT shownChanged();
}

ChosenApplication ApplicationChooserModel::chosen(const InstalledApp &app)
{
    return {QString(app.name).remove(QStringLiteral(".app")), app.bundleID, app.path};
}

} // namespace vima
