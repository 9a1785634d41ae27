#pragma once

#include <QAbstractButton>

class QHBoxLayout;

namespace vima {

// A flat button whose label is a row of widgets: the whole row takes the
// click, shows hover and keyboard focus, and is clicked with Space or Return.
//
//     auto *row = new RowButton(tr("Run a shell script"));   // accessible name
//     row->row()->addWidget(icon);  row->row()->addWidget(title);
class RowButton final : public QAbstractButton {
    Q_OBJECT

public:
    explicit RowButton(const QString &accessibleName, QWidget *parent = nullptr);

    QHBoxLayout *row() const { return row_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void childEvent(QChildEvent *event) override;

private:
    QHBoxLayout *row_;
};

} // namespace vima
