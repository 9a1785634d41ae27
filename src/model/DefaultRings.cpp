#include "model/DefaultRings.h"

#include "model/KeystrokeScript.h"
#include "model/StarterItems.h"

#include <QUuid>

namespace vima {

namespace {

RingItem scriptItem(qint64 slot, const char *title, const char *symbol, const QString &source)
{
    return RingItem{QUuid::createUuid(), QString::fromLatin1(title),
                    IconSpec::symbol(QString::fromLatin1(symbol)), slot,
                    ItemAction{AppleScriptPayload{source, false}}};
}

} // namespace

QList<Ring> defaultContextRings(const QString &language)
{
    const QString command = QStringLiteral("command down");
    const QString shiftCommand = QStringLiteral("command down, shift down");
    const QString optionCommand = QStringLiteral("command down, option down");
    const QList<RingItem> items{
        scriptItem(0, "New Tab", "plus.square",
                   safariKeystrokeScript(QStringLiteral("t"), command)),
        scriptItem(1, "Reopen Tab", "arrow.uturn.left.square",
                   safariKeystrokeScript(QStringLiteral("t"), shiftCommand)),
        summarizeItem(2),
        translateItem(3, language),
        scriptItem(4, "New Window", "macwindow.badge.plus",
                   QStringLiteral("tell application \"Safari\" to make new document")),
        scriptItem(5, "Downloads", "arrow.down.circle",
                   safariKeystrokeScript(QStringLiteral("l"), optionCommand)),
    };
    return {Ring{QUuid::createUuid(), QStringLiteral("Safari"), QStringLiteral("com.apple.Safari"),
                 false, std::nullopt, items}};
}

} // namespace vima
