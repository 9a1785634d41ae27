#pragma once

#include <QByteArray>
#include <zlib.h>

// `head`, `filler` `repeats` times, then `tail`, gzip-compressed: a small file
// that inflates to as much as a test needs.
inline QByteArray gzip(const QByteArray &head, const QByteArray &filler = {}, int repeats = 0,
                       const QByteArray &tail = {})
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_RLE);
    QByteArray out;
    const auto feed = [&](const QByteArray &in, int flush) {
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
        stream.avail_in = uInt(in.size());
        do {
            char buffer[65536];
            stream.next_out = reinterpret_cast<Bytef *>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0);
    };
    feed(head, Z_NO_FLUSH);
    for (int i = 0; i < repeats; ++i)
        feed(filler, Z_NO_FLUSH);
    feed(tail, Z_FINISH);
    deflateEnd(&stream);
    return out;
}
