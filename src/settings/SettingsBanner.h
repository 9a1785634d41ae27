#pragma once

#include <QWidget>

namespace vima {

class ToneLabel;

// The warning above the tabs while the store reports a failed load or save,
// or has something to tell: a symbol and the store's own text, over a pale
// orange band.
class SettingsBanner final : public QWidget {
    Q_OBJECT

public:
    explicit SettingsBanner(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ToneLabel *text_;
};

} // namespace vima
