// The clipboard keeper's input: only a sealed parcel that Tavelon made, and
// exactly what Tavelon would put back.
#include "platform/ClipboardKeepRule.h"
#include "platform/x11/ClipboardParcel.h"

#include <QTemporaryFile>
#include <QTest>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

using namespace vima;

namespace {

constexpr int allSeals = F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;
// Not a memory file: a regular file on disk, as a shell redirection gives.
constexpr int regularFile = -1;
const QString notAParcel = QStringLiteral("it keeps only a clipboard that Tavelon hands it as it quits");

// The parcel of a text under one name: its mark (20 bytes), the time it was
// held at, 1 content at 24, 1 format at 28, the content's size at 32, the
// name's length at 40 and content index at 44, "UTF8_STRING" at 48, "hello" at 59.
constexpr quint32 heldAt = 123456;
const PasteboardSnapshot::Item hello{{QStringLiteral("UTF8_STRING"), QByteArray("hello")}};

QByteArray bytesOf(int descriptor)
{
    QByteArray bytes(qsizetype(::lseek(descriptor, 0, SEEK_END)), Qt::Uninitialized);
    return ::pread(descriptor, bytes.data(), size_t(bytes.size()), 0) == bytes.size() ? bytes : QByteArray();
}

QByteArray parcelOf(const PasteboardSnapshot::Item &item)
{
    const int descriptor = ClipboardParcel::seal(item, heldAt);
    const QByteArray bytes = bytesOf(descriptor);
    ::close(descriptor);
    return bytes;
}

template <typename T>
QByteArray patched(QByteArray bytes, qsizetype offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof(value));
    return bytes;
}

PasteboardSnapshot::Item formats(int count, int nameLength = 8)
{
    PasteboardSnapshot::Item item;
    for (int i = 0; i < count; ++i)
        item.append({QStringLiteral("f%1").arg(i).leftJustified(nameLength, u'x'), QByteArray::number(i % 3)});
    return item;
}

} // namespace

class TestClipboardParcel : public QObject {
    Q_OBJECT

    // `bytes` in a memory file with `seals`, or in a regular file.
    static int descriptorHolding(const QByteArray &bytes, int seals)
    {
        if (seals == regularFile) {
            QTemporaryFile file;
            if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
                return -1;
            return ::dup(file.handle()); // open still once the name is gone
        }
        const int descriptor = ::memfd_create("test-parcel", MFD_CLOEXEC | MFD_ALLOW_SEALING);
        if (::write(descriptor, bytes.constData(), size_t(bytes.size())) != bytes.size()
            || (seals && ::fcntl(descriptor, F_ADD_SEALS, seals) != 0)) {
            ::close(descriptor);
            return -1;
        }
        return descriptor;
    }

private Q_SLOTS:
    void onlyASealedParcelIsTaken_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("seals");
        QTest::addColumn<QString>("refusal"); // empty: taken
        const QByteArray good = parcelOf(hello);
        QTest::newRow("sealed") << good << allSeals << QString();
        QTest::newRow("unsealed") << good << 0 << notAParcel;
        QTest::newRow("half-sealed: it can still be written")
            << good << (F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW) << notAParcel;
        QTest::newRow("a regular file") << good << regularFile << notAParcel;
        QTest::newRow("a content larger than the file") << patched<quint64>(good, 32, 6) << allSeals << notAParcel;
        QTest::newRow("a content of 2^64 - 1 bytes") << patched<quint64>(good, 32, ~0ULL) << allSeals << notAParcel;
        QTest::newRow("a content smaller than said") << patched<quint64>(good, 32, 4) << allSeals << notAParcel;
        QTest::newRow("more contents than formats") << patched<quint32>(good, 24, 2) << allSeals << notAParcel;
        QTest::newRow("a name past the end") << patched<quint32>(good, 40, 1000) << allSeals << notAParcel;
        QTest::newRow("a content index past the contents") << patched<quint32>(good, 44, 1) << allSeals << notAParcel;
        QTest::newRow("4 billion formats")
            << patched<quint32>(good, 28, ~0U) << allSeals << "the clipboard offers more than 1024 formats";
        QTest::newRow("a name of 4 GB")
            << patched<quint32>(good, 40, ~0U) << allSeals
            << "the clipboard offers a format whose name is longer than 1024 bytes";
        QTest::newRow("bytes after the contents") << good + "!" << allSeals << notAParcel;
        QTest::newRow("no time it was held at") << patched<quint32>(good, 20, 0) << allSeals << notAParcel;
        QTest::newRow("another mark") << patched<char>(good, 0, 'T') << allSeals << notAParcel;
        QTest::newRow("cut short") << good.chopped(1) << allSeals << notAParcel;
    }

    void onlyASealedParcelIsTaken()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, seals);
        QFETCH(QString, refusal);
        QVERIFY(!bytes.isEmpty());
        const int descriptor = descriptorHolding(bytes, seals);
        QVERIFY(descriptor >= 0);
        const ClipboardParcel::Opened opened = ClipboardParcel::open(descriptor);
        ::close(descriptor);
        QCOMPARE(opened.refusal, refusal);
        QCOMPARE(opened.item, refusal.isEmpty() ? std::optional(hello) : std::nullopt);
        QCOMPARE(opened.heldAt, refusal.isEmpty() ? heldAt : 0);
    }

    // What Tavelon may put back, its keeper takes at quit; what it can't
    // keep, Tavelon refuses to put back.
    void whatIsPutBackIsKept_data()
    {
        using Status = SelectionRead<PasteboardSnapshot>::Status;
        QTest::addColumn<PasteboardSnapshot::Item>("item");
        QTest::addColumn<std::optional<Status>>("refusal");
        QTest::addColumn<QString>("keeperSays");
        QTest::newRow("1024 formats") << formats(1024) << std::optional<Status>() << QString();
        QTest::newRow("1025 formats") << formats(1025) << std::optional(Status::tooManyFormats)
                                      << "the clipboard offers more than 1024 formats";
        QTest::newRow("1030 formats") << formats(1030) << std::optional(Status::tooManyFormats)
                                      << "the clipboard offers more than 1024 formats";
        QTest::newRow("a name of 1024 bytes") << formats(3, 1024) << std::optional<Status>() << QString();
        QTest::newRow("a name of 1025 bytes") << formats(3, 1025) << std::optional(Status::formatNameTooLong)
                                              << "the clipboard offers a format whose name is longer than 1024 bytes";
    }

    void whatIsPutBackIsKept()
    {
        QFETCH(PasteboardSnapshot::Item, item);
        QFETCH(QString, keeperSays);
        QTEST(clipboardKeepRefusal(item), "refusal");
        const int descriptor = ClipboardParcel::seal(item, heldAt);
        QVERIFY(descriptor >= 0);
        const ClipboardParcel::Opened opened = ClipboardParcel::open(descriptor);
        ::close(descriptor);
        QCOMPARE(opened.refusal, keeperSays);
        QCOMPARE(opened.item, keeperSays.isEmpty() ? std::optional(item) : std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestClipboardParcel)
#include "tst_clipboardparcel.moc"
