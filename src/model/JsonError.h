#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <exception>

namespace vima {

// Why a JSON value could not be read or written, and where: the key path from
// the outermost object ("rings[0].items[2].icon.kind").
class JsonError : public std::exception {
public:
    enum class Kind { invalidSyntax, missingKey, wrongType, outOfRange, dataCorrupted, notEncodable };

    JsonError(Kind kind, const QString &message);

    Kind kind() const { return m_kind; }
    QString message() const { return m_message; }
    QString path() const;
    // The path, a colon and the message; the message alone at the top level.
    QString description() const;
    const char *what() const noexcept override { return m_what.constData(); }

    // Called while the error travels outwards through the enclosing values.
    void prependKey(const QString &key);
    void prependIndex(qsizetype index);

private:
    void update();

    Kind m_kind;
    QString m_message;
    QStringList m_segments; // keys, and indexes written as "[n]"
    QByteArray m_what;
};

} // namespace vima
