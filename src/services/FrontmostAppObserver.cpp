#include "services/FrontmostAppObserver.h"

#include <QPointer>

namespace vima {

namespace {

// An empty identifier is an absent one.
std::optional<QString> bundleIDOf(const RunningApplication &app)
{
    return app.bundleID.isEmpty() ? std::nullopt : std::optional(app.bundleID);
}

} // namespace

FrontmostAppObserver::FrontmostAppObserver(ActiveApplicationSource &source, QObject *parent)
    : QObject(parent), source_(source), ownBundleID_(source.ownBundleID())
{
    if (const auto app = source_.frontmostApplication(); app && isOtherApplication(*app))
        previousApp_ = app;
    source_.onActivated = [self = QPointer(this)](const std::optional<RunningApplication> &app) {
        if (self)
            self->activated(app);
    };
}

FrontmostAppObserver::~FrontmostAppObserver() { source_.onActivated = nullptr; }

std::optional<QString> FrontmostAppObserver::previousBundleID() const
{
    return previousApp_ ? bundleIDOf(*previousApp_) : std::nullopt;
}

QStringList FrontmostAppObserver::previousAppNames() const
{
    if (!previousApp_)
        return {};
    // A window its entry names goes by that entry alone: a browser's web app
    // keeps the browser's class, and the browser's ring is not its ring.
    if (!previousApp_->bundleID.isEmpty())
        return QStringList{previousApp_->bundleID} + previousApp_->alsoAnnouncedBy;
    return previousApp_->names();
}

bool FrontmostAppObserver::isOtherApplication(const RunningApplication &app) const
{
    return bundleIDOf(app) != ownBundleID_;
}

void FrontmostAppObserver::activated(const std::optional<RunningApplication> &app)
{
    if (!app || !isOtherApplication(*app))
        return;
    const bool changed = previousApp_ != app;
    previousApp_ = app;
    if (changed)
        Q_EMIT previousAppChanged();
}

} // namespace vima
