#pragma once

#include <QString>

namespace vima {

// Text a panel lays out, bounded before any layout: a panel costs what a page
// of text does, whatever an answer, a script or an error brings.
struct PanelText {
    // A panel's body: about forty screens of the panel.
    static constexpr qsizetype longestBody = 100'000;
    // Lines are broken at this length: one long line costs what many short ones do.
    static constexpr qsizetype longestLine = 2'000;
    // A title, a busy text, an error's message or hint (cut with Text::cut).
    static constexpr qsizetype longestTitle = 200;
    static constexpr qsizetype longestMessage = 1'000;

    // The body as shown: at most `longestBody` characters in lines of at most
    // `longestLine`, with a last line saying how much was left out.
    static QString body(const QString &text);
};

} // namespace vima
