#include "platform/fake/FakePasteboard.h"

namespace vima {
namespace {

const QString plainTextType = QStringLiteral("text/plain;charset=utf-8");

// What a read from an owner that doesn't answer with a value gives.
template <typename T>
std::optional<SelectionRead<T>> failedRead(FakePasteboard::Owner owner)
{
    switch (owner) {
    case FakePasteboard::Owner::silent:
        return SelectionRead<T>::noAnswer();
    case FakePasteboard::Owner::oversized:
        return SelectionRead<T>::tooLarge();
    case FakePasteboard::Owner::tooManyFormats:
        return SelectionRead<T>::tooManyFormats();
    case FakePasteboard::Owner::formatNameTooLong:
        return SelectionRead<T>::formatNameTooLong();
    case FakePasteboard::Owner::answers:
        break;
    }
    return std::nullopt;
}

} // namespace

QCoro::Task<SelectionRead<PasteboardSnapshot>> FakePasteboard::capture(CancellationToken token)
{
    token.throwIfCancelled();
    if (const auto failed = failedRead<PasteboardSnapshot>(reads))
        co_return *failed;
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
    if (const auto failed = failedRead<QString>(reads))
        co_return *failed;
    const std::optional<QString> text = plainText();
    co_return text ? SelectionRead<QString>::of(*text) : SelectionRead<QString>::absent();
}

} // namespace vima
