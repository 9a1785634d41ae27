#pragma once

#include "settings/kit/DisclosureText.h"

#include <QWidget>

class QLabel;

namespace vima {

// A settings row of a symbol beside a title and a wrapping detail.
class DisclosureRow final : public QWidget {
    Q_OBJECT

public:
    explicit DisclosureRow(const DisclosureText &text, QWidget *parent = nullptr);

    // The given symbol when the catalog knows it, else "circle.fill".
    static QString shownSymbol(const QString &name);
    void setDetail(const QString &detail);

private:
    QLabel *detail_;
};

} // namespace vima
