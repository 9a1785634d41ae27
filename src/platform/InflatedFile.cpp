#include "platform/InflatedFile.h"

#include "platform/RegularFile.h"

#include <QScopeGuard>
#include <zlib.h>

namespace vima::inflated_file {

namespace {

bool isGzip(const QByteArray &bytes) { return bytes.startsWith("\x1f\x8b"); }

std::optional<QByteArray> fail(QString *failure, const QString &why)
{
    if (failure)
        *failure = why;
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> inflate(const QByteArray &bytes, qint64 maxSize, QString *failure)
{
    if (!isGzip(bytes))
        return bytes;
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) // gzip only
        return fail(failure, QStringLiteral("The compressed data can't be read."));
    const auto end = qScopeGuard([&stream] { inflateEnd(&stream); });
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    QByteArray inflated;
    char buffer[65536];
    // Each round consumes input or fills the buffer, and the output is bounded.
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof buffer;
        const int status = ::inflate(&stream, Z_NO_FLUSH);
        const qsizetype produced = qsizetype(sizeof buffer - stream.avail_out);
        if (inflated.size() + produced > maxSize)
            return fail(failure, QStringLiteral("The data is larger than %1 MB once inflated.").arg(maxSize >> 20));
        inflated.append(buffer, produced);
        if (status == Z_STREAM_END) {
            if (stream.avail_in == 0)
                break;
            // Another gzip member follows, as gzip itself writes them.
            if (inflateReset(&stream) != Z_OK)
                return fail(failure, QStringLiteral("The compressed data is damaged."));
        } else if (status != Z_OK || (stream.avail_in == 0 && produced == 0)) {
            return fail(failure, QStringLiteral("The compressed data is damaged."));
        }
    }
    if (isGzip(inflated))
        return fail(failure, QStringLiteral("The data is compressed twice."));
    return inflated;
}

std::optional<QByteArray> read(const QString &path, qint64 maxFileSize, qint64 maxSize, QString *failure)
{
    const std::optional<QByteArray> bytes = regular_file::read(path, maxFileSize, failure);
    if (!bytes)
        return std::nullopt;
    return inflate(*bytes, maxSize, failure);
}

} // namespace vima::inflated_file
