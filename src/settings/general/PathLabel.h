#pragma once

#include <QWidget>

namespace vima {

// A file path on one line, cut in the middle when too long; copying (Ctrl+C
// or the context menu) takes the whole path.
class PathLabel final : public QWidget {
    Q_OBJECT

public:
    explicit PathLabel(const QString &path, QWidget *parent = nullptr);

    QString path() const { return path_; }
    QString shownText() const;
    void copy() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QString path_;
};

} // namespace vima
