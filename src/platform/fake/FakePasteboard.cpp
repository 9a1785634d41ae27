#include "platform/fake/FakePasteboard.h"

namespace vima {
namespace {

const QString plainTextType = QStringLiteral("text/plain;charset=utf-8");

} // namespace

QCoro::Task<SelectionRead<PasteboardSnapshot>> FakePasteboard::capture(CancellationToken token)
{
    token.throwIfCancelled();
    switch (reads) {
    case Owner::silent:
        co_return SelectionRead<PasteboardSnapshot>::noAnswer();
    case Owner::oversized:
        co_return SelectionRead<PasteboardSnapshot>::tooLarge();
    case Owner::answers:
        break;
    }
    co_return SelectionRead<PasteboardSnapshot>::of(contents);
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

QCoro::Task<SelectionRead<QString>> FakePasteboard::text(CancellationToken token)
{
    token.throwIfCancelled();
    switch (reads) {
    case Owner::silent:
        co_return SelectionRead<QString>::noAnswer();
    case Owner::oversized:
        co_return SelectionRead<QString>::tooLarge();
    case Owner::answers:
        break;
    }
    const std::optional<QString> text = plainText();
    co_return text ? SelectionRead<QString>::of(*text) : SelectionRead<QString>::absent();
}

} // namespace vima
