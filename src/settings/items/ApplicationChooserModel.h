#pragma once

#include "platform/UiPrompts.h"
#include "services/InstalledApp.h"

#include <QList>
#include <QObject>
#include <QString>

namespace vima {

// The installed applications the chooser lists, narrowed by the filter.
class ApplicationChooserModel final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    void setApps(const QList<InstalledApp> &apps);
    bool isLoaded() const { return loaded_; }
    // Case-insensitive, on the name or the desktop-file id.
    void setFilter(const QString &filter);
    const QList<InstalledApp> &shown() const { return shown_; }

    // What the chooser returns for `app`: its name with every ".app" removed.
    static ChosenApplication chosen(const InstalledApp &app);

Q_SIGNALS:
    void shownChanged();

private:
    void narrow();

    QList<InstalledApp> apps_;
    QList<InstalledApp> shown_;
    QString filter_;
    bool loaded_ = false;
};

} // namespace vima
