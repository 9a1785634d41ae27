#pragma once

#include "platform/Pasteboard.h"
#include "platform/x11/X11ClipboardHandover.h"

#include <QAbstractNativeEventFilter>
#include <QMimeData>
#include <QObject>
#include <QPointer>

namespace vima {

// The CLIPBOARD selection. Reads go through a connection of their own on a
// worker thread, so an owner that hangs never blocks the GUI thread; writes
// make Qt the owner, and what Qt holds when the program quits is handed on.
class X11Pasteboard final : public QObject, public Pasteboard, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit X11Pasteboard(QObject *parent = nullptr);
    ~X11Pasteboard() override;

    QCoro::Task<SelectionRead<PasteboardSnapshot>> capture(CancellationToken token) override;
    void restore(const PasteboardSnapshot &snapshot) override;
    void clear() override;
    void setText(const QString &text) override;
    QCoro::Task<SelectionRead<QString>> text(CancellationToken token) override;
    std::optional<bool> isOwnedBy(const RunningApplication &app) const override;
    quint64 changeCount() const override { return changes_; }
    quint64 requestCount() const override { return requests_; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    // What Tavelon holds on the clipboard, as a keeper is to serve it.
    PasteboardSnapshot::Item held() const;

    X11ClipboardHandover handover_;
    // The contents last put back, as their program offered them, while Qt
    // still serves them.
    PasteboardSnapshot::Item restored_;
    QPointer<QMimeData> restoredData_;
    quint64 changes_ = 0;
    quint64 requests_ = 0;
};

} // namespace vima
