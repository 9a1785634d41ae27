#include "platform/fake/FakePasteboard.h"

namespace vima {
namespace {

const QString plainTextType = QStringLiteral("text/plain;charset=utf-8");

} // namespace

QCoro::Task<std::optional<PasteboardSnapshot>> FakePasteboard::capture()
{
    if (!responsive)
        co_return std::nullopt;
    // A named copy: co_return would move from the member.
    const PasteboardSnapshot copy = contents;
    co_return copy;
}

void FakePasteboard::restore(const PasteboardSnapshot &snapshot)
{
    ++restores;
    contents = snapshot;
    ++changes;
}

void FakePasteboard::clear()
{
    contents = {};
    ++changes;
}

void FakePasteboard::setText(const QString &text)
{
    contents = {};
    contents.items.append({{plainTextType, text.toUtf8()}});
    ++changes;
}

std::optional<QString> FakePasteboard::plainText() const
{
    for (const auto &item : contents.items) {
        for (const auto &[type, data] : item) {
            if (type == plainTextType)
                return QString::fromUtf8(data);
        }
    }
    return std::nullopt;
}

QCoro::Task<std::optional<QString>> FakePasteboard::text() { co_return plainText(); }

} // namespace vima
