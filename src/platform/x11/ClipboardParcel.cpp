#include "platform/x11/ClipboardParcel.h"

#include "platform/SelectionRead.h"

#include <QList>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vima {
namespace {

// The layout: the mark, the server time it was held at, the count of
// contents and of formats (32 bits each), each content's size (64 bits), each
// format's name length and content index (32 bits each) with its name, then
// the contents one after another.
constexpr char mark[] = "tavelon clipboard 2\n";
constexpr qsizetype markSize = sizeof(mark) - 1;
constexpr int seals = F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;

template <typename T>
void put(QByteArray &out, T value)
{
    out.append(reinterpret_cast<const char *>(&value), sizeof(value));
}

bool writeAll(int descriptor, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Reads what a parcel holds at known places, never past its end.
class Reader {
public:
    Reader(int descriptor, qint64 size) : descriptor_(descriptor), size_(size) {}

    qint64 left() const { return size_ - offset_; }

    std::optional<QByteArray> take(qint64 count)
    {
        if (count < 0 || count > left())
            return std::nullopt;
        QByteArray bytes(qsizetype(count), Qt::Uninitialized);
        for (qint64 done = 0; done < count;) {
            const ssize_t got = ::pread(descriptor_, bytes.data() + done, size_t(count - done), offset_ + done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return std::nullopt;
            done += got;
        }
        offset_ += count;
        return bytes;
    }

    template <typename T>
    std::optional<T> number()
    {
        const std::optional<QByteArray> bytes = take(sizeof(T));
        if (!bytes)
            return std::nullopt;
        T value;
        std::memcpy(&value, bytes->constData(), sizeof(T));
        return value;
    }

private:
    int descriptor_;
    qint64 size_;
    qint64 offset_ = 0;
};

ClipboardParcel::Opened refused(const QString &why) { return {std::nullopt, 0, why}; }

ClipboardParcel::Opened notAParcel()
{
    return refused(QStringLiteral("it keeps only a clipboard that Tavelon hands it as it quits"));
}

ClipboardParcel::Opened tooLarge()
{
    return refused(QStringLiteral("the clipboard holds more than %1 MB").arg(largestClipboardSnapshotMB));
}

} // namespace

int ClipboardParcel::seal(const PasteboardSnapshot::Item &item, quint32 heldAt)
{
    // A content offered under several names (a text as UTF8_STRING, TEXT,
    // STRING and text/plain) goes once.
    QList<QByteArray> contents;
    QList<std::pair<QByteArray, quint32>> formats;
    for (const auto &[name, data] : item) {
        qsizetype index = contents.indexOf(data);
        if (index < 0) {
            index = contents.size();
            contents.append(data);
        }
        formats.append({name.toLatin1(), quint32(index)});
    }
    QByteArray head(mark, markSize);
    put(head, heldAt);
    put(head, quint32(contents.size()));
    put(head, quint32(formats.size()));
    for (const QByteArray &content : std::as_const(contents))
        put(head, quint64(content.size()));
    for (const auto &[name, index] : std::as_const(formats)) {
        put(head, quint32(name.size()));
        put(head, index);
        head.append(name);
    }
    const int descriptor = ::memfd_create("tavelon-clipboard", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (descriptor < 0)
        return -1;
    bool written = writeAll(descriptor, head.constData(), head.size());
    for (const QByteArray &content : std::as_const(contents))
        written = written && writeAll(descriptor, content.constData(), content.size());
    if (!written || ::fcntl(descriptor, F_ADD_SEALS, seals) != 0) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

ClipboardParcel::Opened ClipboardParcel::open(int descriptor)
{
    struct stat status = {};
    // A file that can't be sealed (a regular one) answers -1, which holds every bit.
    const int sealed = ::fcntl(descriptor, F_GET_SEALS);
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || sealed < 0 || (sealed & seals) != seals)
        return notAParcel();
    Reader reader(descriptor, status.st_size);
    const auto markRead = reader.take(markSize);
    const auto heldAt = reader.number<quint32>();
    const auto contentCount = reader.number<quint32>();
    const auto formatCount = reader.number<quint32>();
    if (!markRead || *markRead != QByteArray(mark, markSize) || heldAt.value_or(0) == 0 || !contentCount
        || !formatCount)
        return notAParcel();
    if (*formatCount > quint32(largestClipboardFormatCount))
        return refused(QStringLiteral("the clipboard offers more than %1 formats").arg(largestClipboardFormatCount));
    if (*formatCount == 0 || *contentCount > *formatCount)
        return notAParcel();
    QList<qint64> sizes;
    qint64 total = 0;
    for (quint32 i = 0; i < *contentCount; ++i) {
        const auto size = reader.number<quint64>();
        if (!size || *size > quint64(reader.left()))
            return notAParcel();
        if (*size > quint64(largestClipboardSnapshot - total))
            return tooLarge();
        total += qint64(*size);
        sizes.append(qint64(*size));
    }
    QList<std::pair<QString, quint32>> names;
    for (quint32 i = 0; i < *formatCount; ++i) {
        const auto length = reader.number<quint32>();
        const auto index = reader.number<quint32>();
        if (!length || !index || *index >= *contentCount)
            return notAParcel();
        if (*length > quint32(longestClipboardFormatName))
            return refused(QStringLiteral("the clipboard offers a format whose name is longer than %1 bytes")
                               .arg(longestClipboardFormatName));
        const auto name = reader.take(*length);
        if (!name || name->isEmpty())
            return notAParcel();
        names.append({QString::fromLatin1(*name), *index});
    }
    if (reader.left() != total)
        return notAParcel();
    // Mapped, not copied: sealed, the bytes can't change under the keeper,
    // and they are only touched as requestors ask for them.
    const char *mapped = nullptr;
    if (total > 0) {
        void *map = ::mmap(nullptr, size_t(status.st_size), PROT_READ, MAP_SHARED, descriptor, 0);
        if (map == MAP_FAILED)
            return notAParcel();
        mapped = static_cast<const char *>(map) + (status.st_size - total);
    }
    QList<QByteArray> contents;
    for (const qint64 size : std::as_const(sizes)) {
        contents.append(QByteArray::fromRawData(mapped, qsizetype(size)));
        mapped += size;
    }
    PasteboardSnapshot::Item item;
    for (const auto &[name, index] : std::as_const(names))
        item.append({name, contents.at(index)});
    return {item, *heldAt, {}};
}

} // namespace vima
