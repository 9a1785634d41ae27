#pragma once

#include "settings/kit/SettingsLooks.h"

namespace vima {

// One line of plain text that fits its width by leaving out some of it (the
// middle by default); the whole text, cut as a name is, stays its tooltip and
// accessible name.
class ElidedLabel final : public ToneLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(Tone tone, Qt::TextElideMode mode = Qt::ElideMiddle, QWidget *parent = nullptr);

    void setFullText(const QString &text);
    const QString &fullText() const { return fullText_; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();

    QString fullText_;
    Qt::TextElideMode mode_;
};

} // namespace vima
