#pragma once

#include "platform/Pasteboard.h"

#include <functional>

namespace vima {

// A clipboard in memory. A test can make its owner unresponsive, too large or
// one of too many formats (reads give no value) and count what happens to it.
class FakePasteboard final : public Pasteboard {
public:
    enum class Owner { answers, silent, oversized, tooManyFormats, formatNameTooLong };

    PasteboardSnapshot contents;
    Owner reads = Owner::answers;
    std::optional<qint64> owner;
    quint64 changes = 0;
    quint64 requests = 0;
    int restores = 0;

    QCoro::Task<SelectionRead<PasteboardSnapshot>> capture(CancellationToken token) override;
    void restore(const PasteboardSnapshot &snapshot) override;
    void clear() override;
    void setText(const QString &text) override;
    QCoro::Task<SelectionRead<QString>> text(CancellationToken token) override;
    // By process: the fake knows no windows.
    std::optional<bool> isOwnedBy(const RunningApplication &app) const override
    {
        return owner ? std::optional(*owner == app.pid) : std::nullopt;
    }
    quint64 changeCount() const override { return changes; }
    quint64 requestCount() const override { return requests; }

    std::optional<QString> plainText() const;
};

} // namespace vima
