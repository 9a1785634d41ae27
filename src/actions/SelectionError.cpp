#include "actions/SelectionError.h"

#include "actions/TextFunctions.h"
#include "platform/SelectionRead.h"

namespace vima {

SelectionError::SelectionError(Kind kind, std::optional<QString> appName)
    : kind_(kind), appName_(std::move(appName)), utf8_(description().toUtf8())
{
}

SelectionError SelectionError::nothingSelected(const std::optional<QString> &appName)
{
    return {Kind::nothingSelected, appName};
}

SelectionError SelectionError::selectionNotShared(const std::optional<QString> &appName)
{
    return {Kind::selectionNotShared, appName};
}

SelectionError SelectionError::captureFailed(const std::optional<QString> &appName)
{
    return {Kind::captureFailed, appName};
}

SelectionError SelectionError::notPermitted() { return {Kind::notPermitted, std::nullopt}; }

SelectionError SelectionError::tooLarge(const std::optional<QString> &appName) { return {Kind::tooLarge, appName}; }

SelectionError SelectionError::clipboardNotResponding(const std::optional<QString> &appName)
{
    return {Kind::clipboardNotResponding, appName};
}

SelectionError SelectionError::clipboardTooLarge(const std::optional<QString> &appName)
{
    return {Kind::clipboardTooLarge, appName};
}

SelectionError SelectionError::clipboardTooManyFormats(const std::optional<QString> &appName)
{
    return {Kind::clipboardTooManyFormats, appName};
}

SelectionError SelectionError::clipboardFormatNameTooLong(const std::optional<QString> &appName)
{
    return {Kind::clipboardFormatNameTooLong, appName};
}

QString SelectionError::name() const
{
    if (appName_ && nilIfBlank(*appName_))
        return *appName_;
    return QStringLiteral("the frontmost app");
}

QString SelectionError::description() const
{
    switch (kind_) {
    case Kind::nothingSelected:
        return QStringLiteral("No text is selected in %1.").arg(name());
    case Kind::selectionNotShared: {
        QString capitalised = name();
        capitalised[0] = capitalised[0].toUpper();
        return capitalised
               + QStringLiteral(" doesn't share its selection with Tavelon, and the clipboard fallback is "
                                "turned off.");
    }
    case Kind::captureFailed:
        return QStringLiteral("Tavelon couldn't read the selection from %1.").arg(name());
    case Kind::notPermitted:
        return QStringLiteral("Tavelon needs an X11 session with XTest to read the selected text.");
    case Kind::tooLarge:
        return QStringLiteral("The text selected in %1 is larger than %2 MB, so Tavelon sent nothing.")
            .arg(name(), QString::number(largestSelectionTextMB));
    case Kind::clipboardNotResponding:
        return QStringLiteral("The program that holds the clipboard isn't responding, so Tavelon couldn't copy "
                              "the selection from %1.")
            .arg(name());
    case Kind::clipboardTooLarge:
        return QStringLiteral("The clipboard holds more than %1 MB, more than Tavelon can put back, so it didn't "
                              "copy the selection from %2.")
            .arg(QString::number(largestClipboardSnapshotMB), name());
    case Kind::clipboardTooManyFormats:
        return QStringLiteral("The clipboard offers more than %1 formats, more than Tavelon can put back, so it "
                              "didn't copy the selection from %2.")
            .arg(QString::number(largestClipboardFormatCount), name());
    case Kind::clipboardFormatNameTooLong:
        return QStringLiteral("The clipboard offers a format whose name is longer than %1 bytes, more than Tavelon "
                              "can put back, so it didn't copy the selection from %2.")
            .arg(QString::number(longestClipboardFormatName), name());
    }
    return {};
}

std::optional<QString> SelectionError::recoverySuggestion() const
{
    switch (kind_) {
    case Kind::nothingSelected:
        return QStringLiteral("Select some text, then summon the ring again.");
    case Kind::selectionNotShared:
        return QStringLiteral(
            "Some apps draw their own text and never offer it as the PRIMARY selection. Turn “Use the clipboard "
            "when an app won't share its selection” back on in Settings → General to read those apps.");
    case Kind::captureFailed:
        return QStringLiteral("Highlight the text again and make sure that window is in front — a "
                              "selection is only readable while its app has focus.");
    case Kind::notPermitted:
        return QStringLiteral(
            "Start Tavelon in an X11 session whose X server has the XTest extension.");
    case Kind::tooLarge:
        return QStringLiteral("Select a shorter part of the text, then summon the ring again.");
    case Kind::clipboardNotResponding:
        return QStringLiteral("Your clipboard was left as it was. Copy something in another app, or quit the "
                              "program that holds the clipboard, then try again.");
    case Kind::clipboardTooLarge:
        return QStringLiteral("Your clipboard was left as it was. Copy something smaller, then try again.");
    case Kind::clipboardTooManyFormats:
    case Kind::clipboardFormatNameTooLong:
        return QStringLiteral("Your clipboard was left as it was. Copy something else, then try again.");
    }
    return std::nullopt;
}

} // namespace vima
