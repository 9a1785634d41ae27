#include "model/LogText.h"

#include <QtGlobal>
#include <atomic>

namespace vima {

namespace {

std::atomic<QtMessageHandler> next{nullptr};

void escapeAndPass(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    next.load()(type, context, LogText::escaped(message));
}

QString named(char32_t c)
{
    switch (c) {
    case 0x07: return QStringLiteral("\\a");
    case 0x08: return QStringLiteral("\\b");
    case 0x09: return QStringLiteral("\\t");
    case 0x0a: return QStringLiteral("\\n");
    case 0x0b: return QStringLiteral("\\v");
    case 0x0c: return QStringLiteral("\\f");
    case 0x0d: return QStringLiteral("\\r");
    case 0x1b: return QStringLiteral("\\e");
    default: break;
    }
    if (c < 0xa0) // the rest of C0, DEL and C1
        return QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
    return QStringLiteral("\\u{%1}").arg(uint(c), 0, 16);
}

// Controls, formatting that shows nothing (bidi overrides and isolates,
// zero-width characters, tags), line and paragraph separators, and halves of
// a surrogate pair standing alone.
bool needsEscape(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

} // namespace

QString LogText::escaped(QStringView text)
{
    QString out;
    qsizetype copied = 0; // text before this was already looked at and passes as is
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype start = at;
        char32_t c = text[at++].unicode();
        if (QChar::isHighSurrogate(c) && at < text.size() && text[at].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[at++].unicode());
        if (!needsEscape(c))
            continue;
        if (out.isNull())
            out.reserve(text.size() + 16);
        out.append(text.mid(copied, start - copied)).append(named(c));
        copied = at;
    }
    if (out.isNull())
        return text.toString();
    return out.append(text.mid(copied));
}

void LogText::install()
{
    // Set before any other thread may log: the handler reads it from any thread.
    const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    if (previous != &escapeAndPass) // installed once, escaped once
        next.store(previous);
    qInstallMessageHandler(&escapeAndPass);
}

} // namespace vima
