#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vima {

// One entry of the AI tab's model menu: the name it sets, and how it reads.
struct ModelChoice {
    QString name;
    QString label;
    bool operator==(const ModelChoice &) const = default;

    // Entries past these are typed into the model field, as a custom model is;
    // the chosen model may add one more.
    static constexpr qsizetype longestMenu = 50;

    // The models a local server reported first, then the suggestions it
    // doesn't already have. When the server answered without the chosen
    // model, that entry says so.
    static QList<ModelChoice> menu(const std::optional<QStringList> &served, const QStringList &suggested,
                                   const QString &chosen);
};

} // namespace vima
