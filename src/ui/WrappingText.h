#pragma once

#include <QPalette>
#include <QTextEdit>

namespace vima {

// Read-only plain text that wraps at word boundaries and, inside a word too
// long for a line (a path, a token), anywhere: a label would run off the
// edge. Its height follows its width, as a word-wrapped label's does, and a
// selection copies the text as it is.
class WrappingText final : public QTextEdit {
    Q_OBJECT

public:
    explicit WrappingText(const QString &text, QPalette::ColorRole ink = QPalette::WindowText,
                          QWidget *parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

} // namespace vima
