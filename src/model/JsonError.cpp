#include "model/JsonError.h"

namespace vima {

JsonError::JsonError(Kind kind, const QString &message)
    : m_kind(kind)
    , m_message(message)
{
    update();
}

QString JsonError::path() const
{
    QString path;
    for (const QString &segment : m_segments) {
        if (!path.isEmpty() && !segment.startsWith(u'['))
            path += u'.';
        path += segment;
    }
    return path;
}

QString JsonError::description() const
{
    const QString where = path();
    return where.isEmpty() ? m_message : where + QStringLiteral(": ") + m_message;
}

void JsonError::prependKey(const QString &key)
{
    m_segments.prepend(key);
    update();
}

void JsonError::prependIndex(qsizetype index)
{
    m_segments.prepend(QStringLiteral("[%1]").arg(index));
    update();
}

void JsonError::update()
{
    m_what = description().toUtf8();
}

} // namespace vima
