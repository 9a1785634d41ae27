#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vima {

// A script's output as it comes, kept up to a limit: all a panel can usefully
// show, never the whole of a runaway. What is past the limit is only counted.
class BoundedOutput {
public:
    static constexpr qsizetype defaultLimit = 256 * 1024;

    explicit BoundedOutput(qsizetype limit = defaultLimit) : limit_(limit) {}

    void append(QByteArrayView chunk);
    qint64 leftOut() const { return leftOut_; }
    // The kept bytes as text (invalid UTF-8 replaced, a character cut at the
    // limit dropped), then a line saying how much was left out, if anything was.
    QString text() const;

private:
    qsizetype limit_;
    QByteArray kept_;
    qint64 leftOut_ = 0;
};

} // namespace vima
