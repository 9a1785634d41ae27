#pragma once

#include "async/Scheduler.h"
#include "store/FileFingerprint.h"
#include "store/SafeFile.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace vima {

// The versions of "config.json" that someone else wrote: the editor a save
// waits for, what saves cut short left beside the file, and the copies
// "config.json.<time>.bak" of those a save replaces.
class OutsideVersions {
public:
    // Seconds a half-written file must stay as it is before a save takes it as done.
    static constexpr double editorPatience = 2.0;
    // Seconds a save waits at most for a file that keeps changing, unfinished:
    // a change made here is not held back without end, and lost at a crash.
    static constexpr double editorCeiling = 10.0;

    // What to tell of a version kept aside.
    struct Told {
        QString text;
        bool failed = false; // the banner's text, not a notice
    };

    OutsideVersions(QString file, Scheduler &scheduler);

    // At start, beside the file and the one a link there leads to.
    void clearLeftovers() const;
    // Copies what stands at the file aside, under a name that says when.
    // Returns the copy's file name; none when there is no file. Throws
    // FileError that names `what`.
    std::optional<QString> keepCopy(const QString &what) const;
    // What a save took the place of goes when it holds `known` or `written`.
    // Anything else is someone's outside save that raced the save, or a file an
    // editor is still writing: kept whole beside the file and told.
    std::optional<Told> keepReplaced(const safe_file::Replaced &replaced, const FileFingerprint &known,
                                     const QByteArray &written) const;
    // Whether a debounced save waits editorPatience for the file, changed
    // since `loadedOrWritten`, to be written to the end.
    bool editorStillWriting(const FileFingerprint &loadedOrWritten);
    // A save went through: the next wait starts afresh.
    void settled();

private:
    void clearLeftoversBeside(const QString &path) const;
    QString nameForCopy() const;

    QString file_;
    Scheduler &scheduler_;
    // The half-written file a save last waited for.
    std::optional<FileFingerprint> unsettled_;
    // Since when saves have waited for it.
    std::optional<double> waitingSince_;
};

} // namespace vima
