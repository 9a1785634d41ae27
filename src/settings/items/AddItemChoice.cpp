#include "settings/items/AddItemChoice.h"

#include "settings/kit/SlotNumber.h"

#include <QCoreApplication>

namespace vima {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("AddItemChoice", text); }

AddItemChoice caption(const QString &text) { return {AddItemChoice::Kind::caption, text, {}, {}, false, {}, {}}; }

AddItemChoice newItem(ItemAction::Kind kind, const QString &symbol, const QString &title,
                      const QString &subtitle = {})
{
    return {AddItemChoice::Kind::newItem, title, subtitle, symbol, false, kind, {}};
}

} // namespace

QList<AddItemChoice> addItemChoices(qint64 slot, const QList<SavedGroup> &savedPacks)
{
    using Kind = ItemAction::Kind;
    QList<AddItemChoice> choices{
        caption(tr("Add to slot ") + slotNumber(slot)),
        {AddItemChoice::Kind::buildPack, tr("Build an action pack"), tr("A ring of related actions — apps, scripts, AI…"),
         QStringLiteral("circle.grid.cross"), true, {}, {}},
        {AddItemChoice::Kind::browse, tr("Browse actions"), tr("Ready-made — rewrite, summarize, open apps…"),
         QStringLiteral("square.grid.2x2.fill"), false, {}, {}},
        caption(tr("Or add a single action")),
        newItem(Kind::ai, QStringLiteral("sparkles"), tr("AI on selected text"),
                tr("Rewrite, summarize, translate, explain…")),
        newItem(Kind::open, QStringLiteral("link"), tr("Open a link or file"), tr("A URL, file, or folder")),
        newItem(Kind::launchApp, QStringLiteral("app"), tr("Open an app"), tr("Launch or switch to an app")),
        caption(tr("Advanced")),
        newItem(Kind::shell, QStringLiteral("terminal"), tr("Run a shell script")),
    };
    if (!savedPacks.isEmpty())
        choices.append(caption(tr("Your saved packs")));
    for (const SavedGroup &pack : savedPacks)
        choices.append({AddItemChoice::Kind::savedPack, pack.name, {}, {}, false, {}, pack});
    return choices;
}

} // namespace vima
