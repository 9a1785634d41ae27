#pragma once

#include "settings/kit/DisclosureText.h"

#include <QWidget>

class QLabel;

namespace vima {

// A settings row of a symbol beside a title and a wrapping detail.
class DisclosureRow final : public QWidget {
    Q_OBJECT

public:
    static constexpr int symbolColumn = 20;

    explicit DisclosureRow(const DisclosureText &text, QWidget *parent = nullptr);

    // The given symbol when the catalog knows it, else "circle.fill".
    static QString shownSymbol(const QString &name);
    QString symbol() const { return symbol_; }
    void setDetail(const QString &detail);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyColours();

    QString symbol_;
    QLabel *title_;
    QLabel *detail_;
};

} // namespace vima
