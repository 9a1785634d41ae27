#pragma once

#include <QString>
#include <QStringList>

namespace vima {

// An application as a ring or a keystroke slot names it, and which other
// names stand for it: the same name in any case, another desktop id of the
// same known browser or file manager ("firefox", "firefox-esr",
// "org.mozilla.firefox"), or a window class its installed entries announce.
// Where a ring opens, where its keys go and what its editor says follow this
// one rule, so they never disagree.
class AppIdentity {
public:
    explicit AppIdentity(const QString &id, const QStringList &windowClasses = {});

    // The desktop ids it may be installed under, the given id first; none for
    // an empty id.
    const QStringList &ids() const { return ids_; }
    // Whether a desktop id or a window class stands for it.
    bool isNamedBy(const QString &name) const;
    bool isNamedByAny(const QStringList &names) const;

private:
    QStringList ids_;
    QStringList windowClasses_;
};

} // namespace vima
