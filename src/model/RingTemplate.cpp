#include "model/RingTemplate.h"

#include "model/ActionPreset.h"

#include <QUuid>
#include <algorithm>

namespace vima {

namespace {

using Entry = RingTemplate::Entry;

// The first of `list` that fit in `slotCount` slots.
template <typename List>
List fitting(const List &list, qint64 slotCount)
{
    return list.first(std::min(list.size(), qsizetype(Ring::boundedSlotCount(slotCount))));
}

Ring pack(const QString &name, const QList<RingItem> &items)
{
    return Ring{QUuid::createUuid(), name, std::nullopt, true, std::nullopt, items};
}

RingItem opener(const Ring &pack, const QString &symbol, qint64 slot)
{
    return RingItem{QUuid::createUuid(), pack.name, IconSpec::symbol(symbol), slot,
                    ItemAction{OpenRingPayload{pack.id}}};
}

QList<RingTemplate> buildTemplates()
{
    const auto action = &Entry::action;
    const auto group = &Entry::group;
    return {
        {"everyday", "Everyday",
         "A bit of everything. A good place to start if none of the others fit.", "star",
         {group("Write", "pencil.line",
                {"writing.fix-grammar", "writing.rewrite", "writing.shorten",
                 "writing.tone-professional", "writing.bullets"}),
          group("Read", "book",
                {"reading.summarize", "reading.explain-simply", "reading.takeaways",
                 "reading.questions"}),
          action("language.translate"), action("system.screenshot-clipboard"),
          action("system.downloads"), action("system.toggle-dark")}},
        {"writer", "Writing",
         "Fix, tighten and retone prose. For anyone who writes for a living.", "pencil.line",
         {group("Fix", "checkmark.circle",
                {"writing.fix-grammar", "writing.rewrite", "writing.shorten", "writing.expand",
                 "writing.bullets"}),
          group("Tone", "slider.horizontal.3",
                {"writing.tone-professional", "writing.tone-friendly", "writing.tone-confident",
                 "language.formalize"}),
          group("Read", "book",
                {"reading.summarize", "reading.takeaways", "reading.questions",
                 "reading.explain-simply"}),
          action("language.translate"), action("system.screenshot-clipboard")}},
        {"designer", "Design",
         "Microcopy, naming and alt text, plus a colour picker and snipping tool.",
         "paintbrush.pointed",
         {group("Copy", "textformat.size",
                {"creative.microcopy", "creative.name-this", "writing.rewrite",
                 "writing.shorten"}),
          group("Publish", "paperplane",
                {"creative.alt-text", "creative.caption", "language.translate",
                 "reading.summarize"}),
          action("system.color-meter"), action("system.screenshot-clipboard"),
          action("system.screenshot-file")}},
        {"video", "Video",
         "Titles, descriptions, chapters and script trims from a transcript.", "play.rectangle",
         {group("Titles", "play.rectangle",
                {"creative.yt-title", "creative.yt-description", "creative.chapters",
                 "creative.caption"}),
          group("Script", "timer",
                {"creative.tighten-script", "writing.shorten", "reading.summarize",
                 "reading.takeaways"}),
          action("language.translate"), action("system.screenshot-file"),
          action("system.screenshot-clipboard")}},
        {"developer", "Development", "Explain code, comment it, decode errors and regexes.",
         "chevron.left.forwardslash.chevron.right",
         {group("Code", "chevron.left.forwardslash.chevron.right",
                {"dev.explain-code", "dev.add-comments", "dev.write-tests", "dev.convert"}),
          group("Debug", "exclamationmark.triangle",
                {"dev.explain-error", "dev.explain-regex", "reading.explain-simply"}),
          group("Data", "curlybraces",
                {"data.to-json", "data.to-table", "data.clean-format", "data.sort-dedupe"}),
          action("system.screenshot-clipboard"), action("system.new-finder")}},
        {"student", "Studying",
         "Understand dense material: explain, summarise, define, question.", "book",
         {group("Understand", "lightbulb",
                {"reading.explain-simply", "reading.summarize", "reading.takeaways",
                 "reading.define"}),
          group("Study", "questionmark.circle",
                {"reading.questions", "reading.extract-facts", "writing.fix-grammar"}),
          action("language.translate"), action("language.to-english"),
          action("system.screenshot-clipboard")}},
    };
}

} // namespace

RingTemplate::Entry RingTemplate::Entry::action(const QString &presetID)
{
    return Entry{Action{presetID}};
}

RingTemplate::Entry RingTemplate::Entry::group(const QString &name, const QString &symbol,
                                               const QStringList &actions)
{
    return Entry{Group{name, symbol, actions}};
}

const QList<RingTemplate> &RingTemplate::all()
{
    static const QList<RingTemplate> templates = buildTemplates();
    return templates;
}

const RingTemplate &RingTemplate::defaultTemplate()
{
    static const RingTemplate everyday = templateWithID(QStringLiteral("everyday")).value();
    return everyday;
}

std::optional<RingTemplate> RingTemplate::templateWithID(const QString &id)
{
    for (const RingTemplate &entry : all()) {
        if (entry.id == id)
            return entry;
    }
    return std::nullopt;
}

QStringList RingTemplate::previewTitles() const
{
    QStringList titles;
    for (const Entry &entry : entries) {
        if (const auto *group = std::get_if<Entry::Group>(&entry.value)) {
            titles.append(group->name);
        } else if (const auto preset =
                       ActionPreset::presetWithID(std::get<Entry::Action>(entry.value).presetID)) {
            titles.append(preset->title);
        }
    }
    return titles;
}

QList<Ring> RingTemplate::makeRings(qint64 slotCount, const QString &language) const
{
    QList<RingItem> items;
    QList<Ring> packs;
    for (const Entry &entry : fitting(entries, slotCount)) {
        const qint64 slot = items.size();
        if (const auto *group = std::get_if<Entry::Group>(&entry.value)) {
            packs.append(pack(group->name, groupItems(group->actions, slotCount, language)));
            items.append(opener(packs.last(), group->symbol, slot));
        } else if (const auto preset =
                       ActionPreset::presetWithID(std::get<Entry::Action>(entry.value).presetID)) {
            items.append(preset->makeItem(slot, language));
        }
    }
    const Ring primary{QUuid::createUuid(), QStringLiteral("Default"), std::nullopt, false,
                       std::nullopt, items};
    return QList<Ring>{primary} + packs;
}

QList<RingItem> RingTemplate::groupItems(const QStringList &presetIDs, qint64 slotCount,
                                         const QString &language)
{
    QList<RingItem> items;
    for (const QString &id : fitting(presetIDs, slotCount)) {
        if (const auto preset = ActionPreset::presetWithID(id))
            items.append(preset->makeItem(items.size(), language));
    }
    return items;
}

} // namespace vima
