#include "actions/BoundedOutput.h"

#include <QLocale>
#include <QStringDecoder>

namespace vima {

void BoundedOutput::append(QByteArrayView chunk)
{
    const qsizetype room = std::max<qsizetype>(0, limit_ - kept_.size());
    kept_.append(chunk.first(std::min(room, chunk.size())));
    leftOut_ += chunk.size() - std::min(room, chunk.size());
}

QString BoundedOutput::text() const
{
    // A stateful decoder holds back a sequence the limit cut short.
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(kept_);
    if (leftOut_ > 0) {
        text += QStringLiteral("\n… %1 more output not shown.")
                    .arg(QLocale().formattedDataSize(leftOut_, 1, QLocale::DataSizeTraditionalFormat));
    }
    return text;
}

} // namespace vima
