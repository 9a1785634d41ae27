#pragma once

#include "platform/ActiveApplicationSource.h"
#include "platform/RunningApplication.h"

#include <QObject>
#include <QString>
#include <optional>

namespace vima {

// Remembers the application the user was in before this one: the last
// activated application other than this application. Actions work on it.
class FrontmostAppObserver : public QObject {
    Q_OBJECT

public:
    explicit FrontmostAppObserver(ActiveApplicationSource &source, QObject *parent = nullptr);
    ~FrontmostAppObserver() override;

    std::optional<RunningApplication> previousApp() const { return previousApp_; }
    std::optional<QString> previousBundleID() const;
    // Its desktop id, then the other entries announcing its window class;
    // its window classes when no entry names it.
    QStringList previousAppNames() const;

Q_SIGNALS:
    void previousAppChanged();

private:
    bool isOtherApplication(const RunningApplication &app) const;
    void activated(const std::optional<RunningApplication> &app);

    ActiveApplicationSource &source_;
    std::optional<RunningApplication> previousApp_;
    std::optional<QString> ownBundleID_;
};

} // namespace vima
