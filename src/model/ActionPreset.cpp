#include "model/ActionPreset.h"

#include "model/SystemPresets.h"

#include <QUuid>
#include <algorithm>
#include <span>
#include <utility>

namespace vima {

namespace {

enum Model { standard, strong };
enum class Language { none, needed };
constexpr auto replaceSelection = ResultHandling::replaceSelection;
constexpr auto showPopover = ResultHandling::showPopover;

// One AI preset; the category comes from the list that holds it.
struct AIRow {
    const char *id;
    const char *title;
    const char *symbol;
    const char *summary;
    const char *keywords; // ", "-separated
    ResultHandling resultHandling;
    Model model;
    const char *prompt;
    Language language = Language::none;
};

constexpr AIRow writingRows[] = {
    {"writing.fix-grammar", "Fix Grammar", "checkmark.circle",
     "Corrects spelling, grammar and punctuation. Changes nothing else.",
     "spelling, typo, proofread, punctuation",
     replaceSelection, standard,
     "Correct spelling, grammar, punctuation and obvious typos in the user's text. Change nothing else: keep their wording, voice, formatting and line breaks exactly as they are. If the text is already correct, return it unchanged. Reply with the corrected text only."},
    {"writing.rewrite", "Rewrite", "wand.and.sparkles",
     "Makes it clearer and more concise, keeping your voice.",
     "clarify, polish, edit",
     replaceSelection, standard,
     "You rewrite text to be clearer and more concise while preserving the author's voice, meaning and formatting. Fix grammar and awkward phrasing. Do not add new information, commentary or headings. Reply with the rewritten text only."},
    {"writing.shorten", "Shorten", "arrow.down.right.and.arrow.up.left",
     "Cuts the length roughly in half without losing the point.",
     "concise, trim, tighten, brief",
     replaceSelection, standard,
     "Cut the user's text to about half its length. Keep every substantive point and the author's voice; remove padding, hedging and repetition. Preserve formatting and line breaks. Reply with the shortened text only."},
    {"writing.expand", "Expand", "arrow.up.left.and.arrow.down.right",
     "Develops terse notes into full prose.",
     "elaborate, flesh out, notes",
     showPopover, standard,
     "Develop the user's notes into complete prose. Stay strictly within what they wrote — expand on their points, do not introduce new claims, facts or examples they did not imply. Match their register. Reply with the expanded text only."},
    {"writing.tone-professional", "Professional", "briefcase",
     "Reworks it into a neutral, professional register.",
     "tone, formal, work, business",
     replaceSelection, standard,
     "Rewrite the user's text in a professional register: measured, specific and free of slang, filler and exclamation marks. Keep the meaning and every concrete detail intact — do not make it vague or corporate. Reply with the rewritten text only."},
    {"writing.tone-friendly", "Friendly", "hand.wave",
     "Warms it up without making it gushing.",
     "tone, warm, casual",
     replaceSelection, standard,
     "Rewrite the user's text in a warm, conversational register — the way a person writes to a colleague they like. Keep it natural: no exclamation-mark spam, no forced enthusiasm. Preserve the meaning and every concrete detail. Reply with the rewritten text only."},
    {"writing.tone-confident", "Confident", "figure.stand",
     "Strips hedging and apology.",
     "tone, assertive, hedging, direct",
     replaceSelection, standard,
     "Rewrite the user's text to be direct and confident. Remove hedges (\"I think\", \"just\", \"maybe\", \"sorry to bother\"), apologies and unnecessary qualifiers. Do not make it aggressive or overclaim — keep every genuine uncertainty that is actually about the facts. Reply with the rewritten text only."},
    {"writing.bullets", "To Bullets", "list.bullet",
     "Reshapes a paragraph into a tight bulleted list.",
     "list, points, structure",
     replaceSelection, standard,
     "Restructure the user's text as a bulleted list. One idea per bullet, each a short complete phrase, in the original order. Do not add or drop content. Reply with the list only."},
    {"writing.continue", "Continue", "text.append",
     "Carries on writing in the same voice.",
     "autocomplete, draft, finish",
     showPopover, strong,
     "Continue the user's text from exactly where it stops, matching their voice, tense, register and formatting. Write two or three more sentences unless the passage clearly calls for more. Do not restate what they already wrote. Reply with the continuation only."},
};

constexpr AIRow emailRows[] = {
    {"email.reply", "Reply", "arrowshape.turn.up.left",
     "Drafts a reply to the message you selected.",
     "respond, answer, mail",
     showPopover, strong,
     "The user has selected a message they received. Draft a reply on their behalf: acknowledge what matters, answer any question asked, and close cleanly. Match the formality of the original. Keep it short — most replies are three sentences or fewer. Where you cannot know a fact (a date, a decision, a name), write a bracketed placeholder like [date] rather than inventing one. Reply with the draft only."},
    {"email.soften", "Soften", "cloud",
     "Keeps the message, loses the edge.",
     "polite, diplomatic, nice, tone",
     replaceSelection, standard,
     "Rewrite the user's message to be more polite and less abrasive while keeping every substantive point, request and deadline exactly as stated. Do not become vague, do not apologise for making the request, and do not add flattery. Reply with the rewritten message only."},
    {"email.firmer", "Firmer", "exclamationmark.shield",
     "Adds spine to a request that's being ignored.",
     "assertive, escalate, follow up, tone",
     replaceSelection, standard,
     "Rewrite the user's message to be firmer and more direct. State the request and any deadline plainly, remove apologetic hedging, and make the consequence of inaction clear if the original implies one. Stay professional — firm, never rude or threatening. Reply with the rewritten message only."},
    {"email.action-items", "Action Items", "checklist",
     "Pulls the to-dos out of a thread.",
     "todo, tasks, follow up, meeting, notes",
     showPopover, strong,
     "Extract the action items from the text. For each: who is responsible, what they must do, and any deadline stated. One per line, starting with \"- \". If the owner or deadline is not stated, write \"unassigned\" or \"no date\" rather than guessing. If there are no action items, say exactly: No action items found."},
    {"email.subject-lines", "Subjects", "text.quote",
     "Three subject lines for the message you drafted.",
     "headline, title, mail",
     showPopover, standard,
     "Read the user's draft message and propose three subject lines: one plain and descriptive, one that leads with the action required, one short enough to read fully on a phone. Number them 1–3, nothing else."},
};

constexpr AIRow readingRows[] = {
    {"reading.summarize", "Summarize", "text.line.first.and.arrowtriangle.forward",
     "A takeaway plus the substance in bullets.",
     "tldr, digest, brief",
     showPopover, strong,
     "Summarize the text the user sends. Lead with a one-sentence takeaway, then up to five short bullets covering the substance. Stay faithful to the source and do not introduce facts that are not in it. Reply with the summary only."},
    {"reading.explain-simply", "Explain", "lightbulb",
     "Plain language, jargon defined inline.",
     "eli5, simple, understand, jargon",
     showPopover, strong,
     "Explain the text the user sends in plain language, as if to a smart colleague who lacks the specific background. Define jargon inline. Be concise — a short paragraph, or a few bullets if the material is genuinely multi-part."},
    {"reading.takeaways", "Takeaways", "star",
     "Only what actually matters, ranked.",
     "key points, highlights, important",
     showPopover, strong,
     "List the three to five things that actually matter in this text, most important first. Each one a single sentence stating the point, not the topic — \"revenue fell 12% on weaker retail\", not \"discusses revenue\". Reply with the list only."},
    {"reading.define", "Define", "character.book.closed",
     "Defines the selected term in context.",
     "meaning, glossary, term, word",
     showPopover, standard,
     "The user selected a term or phrase. Define it in two or three sentences, in the sense most likely intended given how it is written. If it has materially different meanings in different fields, name the field for each. No preamble."},
    {"reading.extract-facts", "Extract", "tablecells.badge.ellipsis",
     "Pulls out names, dates, numbers and places.",
     "entities, names, dates, numbers, data",
     showPopover, strong,
     "Extract the concrete facts from the text and group them under these headings, omitting any heading with no entries: People, Organizations, Dates, Numbers, Places, Links. One item per line. Copy values exactly as written — do not normalise, convert or infer anything that is not stated."},
    {"reading.questions", "Questions", "questionmark.circle",
     "What this text leaves unanswered.",
     "critique, gaps, review, assumptions",
     showPopover, strong,
     "Read the text and list the most useful questions it leaves unanswered — gaps, unstated assumptions, and claims that are asserted without support. Three to five, most important first. Reply with the list only."},
};

constexpr AIRow languageRows[] = {
    {"language.translate", "Translate", "character.bubble",
     "Into your default language, set on the AI tab.",
     "language, convert, localize",
     replaceSelection, standard,
     "Translate the text the user sends into {{language}}. Preserve tone, register and formatting, including line breaks and markup. If a passage is already in {{language}}, return it unchanged. Reply with the translation only.",
     Language::needed},
    {"language.to-english", "To English", "globe",
     "Detects the language and translates into English.",
     "english, translate",
     replaceSelection, standard,
     "Translate the text the user sends into English, whatever language it is in. Preserve tone, register and formatting. If it is already English, return it unchanged. Reply with the translation only."},
    {"language.sound-native", "Sound Native", "waveform",
     "Fixes the phrasing a non-native speaker would miss.",
     "fluent, idiom, esl, natural",
     replaceSelection, standard,
     "The user is not a native speaker of the language they wrote in. Rewrite their text so it reads as a fluent native speaker would write it: fix idiom, article use, preposition choice and word order. Keep their meaning, their voice and their level of formality — do not make it more elaborate than they intended. Reply with the rewritten text only."},
    {"language.formalize", "Formalize", "text.badge.checkmark",
     "Raises the register.",
     "formal, register, polite",
     replaceSelection, standard,
     "Rewrite the user's text in a more formal register: full forms instead of contractions, precise vocabulary, no slang. Keep the meaning and length roughly the same. Reply with the rewritten text only."},
};

constexpr AIRow creativeRows[] = {
    {"creative.alt-text", "Alt Text", "text.below.photo",
     "Turns a description into usable alt text.",
     "accessibility, a11y, image, description",
     showPopover, standard,
     "The user selected a description of an image. Write alt text for it: one sentence, under 125 characters, describing what matters visually. No \"image of\" or \"photo of\" prefix. Reply with the alt text only."},
    {"creative.microcopy", "UI Copy", "textformat.size",
     "Three shorter variants of a label or button.",
     "microcopy, button, label, ux, product",
     showPopover, standard,
     "The user selected interface copy. Write three alternatives: one shorter, one clearer about what happens next, one warmer. Each must fit the same UI slot — no longer than the original. Number them 1–3, nothing else."},
    {"creative.name-this", "Name This", "tag",
     "Names for a layer, variable, file or feature.",
     "naming, layer, variable, file, component",
     showPopover, standard,
     "The user selected a description of something that needs a name — a layer, a variable, a file, a component or a feature. Propose five names: short, specific, and consistent in style with each other. Number them 1–5, with a three-word rationale after each."},
    {"creative.yt-title", "Video Title", "play.rectangle",
     "Five title options for a video.",
     "youtube, title, video, headline",
     showPopover, strong,
     "The user selected a description or transcript of a video. Write five title options under 60 characters each: specific and honest about the content, not clickbait, no ALL CAPS, no fabricated numbers. Number them 1–5."},
    {"creative.yt-description", "Video Desc", "doc.richtext",
     "A description plus tags for a video.",
     "youtube, seo, tags, video",
     showPopover, strong,
     "From the video transcript or notes the user selected, write: a two-sentence description of what the video covers, then a blank line, then 8–12 lowercase comma-separated tags. Draw everything from the source — invent nothing."},
    {"creative.chapters", "Chapters", "list.number",
     "Timestamped chapters from a transcript.",
     "youtube, timestamps, transcript, video",
     showPopover, strong,
     "From the timestamped transcript the user selected, produce a chapter list in the form \"M:SS Title\" (or \"H:MM:SS Title\" for long videos), one per line, in order. Titles under six words. Use only timestamps that appear in the source — never estimate one. If the transcript has no timestamps, say exactly: This transcript has no timestamps."},
    {"creative.tighten-script", "30s Cut", "timer",
     "Trims a script to about thirty seconds of speech.",
     "script, voiceover, video, shorten, reel",
     showPopover, strong,
     "Cut the user's script so it reads aloud in about thirty seconds — roughly 80 words. Keep the hook and the single most important point; drop everything else. Preserve their voice and keep it speakable: short sentences, no clauses a presenter would stumble over. Reply with the cut script only."},
    {"creative.caption", "Caption", "bubble.left.and.text.bubble.right",
     "A social caption for the selected text.",
     "social, instagram, post, twitter",
     showPopover, standard,
     "Write a social media caption for what the user selected: one or two sentences, conversational, no hashtag pile-up (two at most, only if genuinely apt), no emoji unless the source uses them. Reply with the caption only."},
};

constexpr AIRow developerRows[] = {
    {"dev.explain-code", "Explain Code", "chevron.left.forwardslash.chevron.right",
     "What the selected code does, and why.",
     "code, understand, read",
     showPopover, standard,
     "Explain the selected code: what it does, how it works, and anything surprising or risky about it. Lead with a one-sentence summary. Be concrete about control flow and edge cases; skip anything obvious from the syntax. No line-by-line narration."},
    {"dev.add-comments", "Comment", "text.bubble",
     "Adds comments explaining the why, not the what.",
     "docs, document, code",
     replaceSelection, standard,
     "Add comments to the selected code. Comment the *why* — intent, constraints, non-obvious decisions — never restate what the syntax already says. Use the comment style and indentation of the language shown. Change no code. Reply with the commented code only, no fences."},
    {"dev.write-tests", "Write Tests", "checkmark.diamond",
     "Test cases for the selected function.",
     "unit test, spec, code, xctest",
     showPopover, strong,
     "Write tests for the selected code using the conventional test framework for its language. Cover the happy path, boundaries, and the error cases the code actually handles. Name each test for the behaviour it pins down. Reply with the test code only, no fences."},
    {"dev.convert", "Convert", "arrow.left.arrow.right",
     "Ports the code to another language.",
     "port, translate, language, code",
     showPopover, strong,
     "Translate the selected code into the language named at the end of the selection (or into Python if none is named). Use the target language's idioms rather than transliterating. Keep behaviour identical. Note any place the semantics cannot carry over, in one comment. Reply with the converted code only, no fences."},
    {"dev.explain-error", "Explain Error", "exclamationmark.triangle",
     "What a stack trace or error message means.",
     "stack trace, exception, debug, crash",
     showPopover, standard,
     "The user selected an error message or stack trace. Explain in plain language what went wrong, identify the most likely cause, and give the two or three things worth checking first, most likely first. If the trace names a specific file and line, say so. Be concrete — no generic debugging advice."},
    {"dev.explain-regex", "Explain Regex", "asterisk",
     "Breaks a regular expression down piece by piece.",
     "regexp, pattern, match",
     showPopover, standard,
     "Explain the selected regular expression: one line per component saying what it matches, then a sentence describing the whole pattern in plain English, then one example string it matches and one it doesn't."},
};

constexpr AIRow dataRows[] = {
    {"data.to-table", "To Table", "tablecells",
     "Reshapes messy text into a Markdown table.",
     "markdown, table, csv, columns",
     replaceSelection, standard,
     "Reshape the user's text into a Markdown table. Infer sensible column headers from the content. Every value must come from the source — leave a cell empty rather than inventing one. Reply with the table only."},
    {"data.to-json", "To JSON", "curlybraces",
     "Structures the selection as JSON.",
     "json, structure, parse, data",
     replaceSelection, standard,
     "Convert the user's text into JSON with a structure that fits the content. Use lowerCamelCase keys. Every value must come from the source — use null rather than inventing one. Reply with valid JSON only, no fences, no commentary."},
    {"data.clean-format", "Clean Up", "sparkles.rectangle.stack",
     "Fixes broken line breaks and stray whitespace.",
     "whitespace, paste, tidy, line breaks",
     replaceSelection, standard,
     "Clean up the formatting of the user's text: rejoin lines broken mid-sentence by a copy-paste, collapse runs of spaces, remove trailing whitespace, and normalise bullet characters to \"- \". Change no words and no meaning. Reply with the cleaned text only."},
    {"data.sort-dedupe", "Sort List", "arrow.up.arrow.down",
     "Sorts a list alphabetically and drops duplicates.",
     "sort, unique, duplicates, list, alphabetical",
     replaceSelection, standard,
     "Sort the user's list alphabetically (case-insensitive) and remove exact duplicates. Keep each line's original text and any bullet or numbering style. Reply with the sorted list only."},
};

ActionPreset preset(const char *id, const char *title, const char *symbol, ActionCategory category,
                    const char *summary, const char *keywords, ItemAction action)
{
    return ActionPreset{
        QString::fromUtf8(id),
        QString::fromUtf8(title),
        QString::fromUtf8(summary),
        IconSpec::symbol(QString::fromUtf8(symbol)),
        category,
        QString::fromUtf8(keywords).split(QStringLiteral(", ")),
        std::move(action),
        false,
    };
}

void appendAI(QList<ActionPreset> &list, ActionCategory category, std::span<const AIRow> rows)
{
    for (const AIRow &row : rows) {
        AIPayload payload;
        payload.systemPrompt = QString::fromUtf8(row.prompt);
        payload.resultHandling = row.resultHandling;
        payload.needsStrongModel = row.model == strong;
        ActionPreset entry = preset(row.id, row.title, row.symbol, category, row.summary,
                                    row.keywords, ItemAction{payload});
        entry.needsLanguage = row.language == Language::needed;
        list.append(entry);
    }
}

QList<ActionPreset> buildLibrary()
{
    QList<ActionPreset> list;
    appendAI(list, ActionCategory::writing, writingRows);
    appendAI(list, ActionCategory::email, emailRows);
    appendAI(list, ActionCategory::reading, readingRows);
    appendAI(list, ActionCategory::language, languageRows);
    appendAI(list, ActionCategory::creative, creativeRows);
    appendAI(list, ActionCategory::developer, developerRows);
    appendAI(list, ActionCategory::data, dataRows);
    list.append(systemPresets());
    return list;
}

} // namespace

const QList<ActionPreset> &ActionPreset::all()
{
    static const QList<ActionPreset> library = buildLibrary();
    return library;
}

std::optional<ActionPreset> ActionPreset::presetWithID(const QString &id)
{
    for (const ActionPreset &preset : all()) {
        if (preset.id == id)
            return preset;
    }
    return std::nullopt;
}

bool ActionPreset::matches(const QString &query) const
{
    qsizetype begin = 0;
    qsizetype end = query.size();
    const auto isBlank = [&](qsizetype i) { return query[i] == u' ' || query[i] == u'\t'; };
    while (begin < end && isBlank(begin))
        ++begin;
    while (end > begin && isBlank(end - 1))
        --end;
    const QString needle = query.mid(begin, end - begin).toLower();
    if (needle.isEmpty())
        return true;
    const auto contains = [&](const QString &text) { return text.toLower().contains(needle); };
    return contains(title) || contains(summary) || contains(vima::title(category))
        || std::any_of(keywords.cbegin(), keywords.cend(), contains);
}

bool ActionPreset::isAI() const
{
    return action.kind() == ItemAction::Kind::ai;
}

RingItem ActionPreset::makeItem(qint64 slot, const QString &language) const
{
    ItemAction made = action;
    if (needsLanguage) {
        if (auto *payload = std::get_if<AIPayload>(&made.payload))
            payload->targetLanguage = language;
    }
    return RingItem{QUuid::createUuid(), title, icon, slot, made};
}

} // namespace vima
