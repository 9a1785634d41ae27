#pragma once

#include "ai/LLMProviderStatus.h"
#include "model/Settings.h"

#include <QAbstractButton>

namespace vima {

// One provider of the AI tab's choice, drawn as a radio row: name, badge,
// tagline and whether it can run. The whole padded row takes clicks. Checked
// means chosen: whatever checks a row (a click, Space, an accessible
// "Toggle") emits toggled(true); its form keeps one row chosen. Not
// auto-exclusive, so every row stays a tab stop and arrows choose nothing;
// assistive technology still sees a radio button (ProviderRowAccessible).
class ProviderRow final : public QAbstractButton {
    Q_OBJECT

public:
    explicit ProviderRow(LLMProviderKind kind, QWidget *parent = nullptr);

    LLMProviderKind kind() const { return kind_; }
    void setState(bool chosen, const LLMProviderStatus &status);
    bool isChosen() const { return isChecked(); }
    // The status line's text as shown.
    QString statusText() const;
    // Where the texts begin, right of the radio symbol.
    static int textIndent();

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF textColumn(double width) const;
    double statusHeight(double width) const;

    LLMProviderKind kind_;
    LLMProviderStatus status_;
};

} // namespace vima
