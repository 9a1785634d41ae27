#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QWidget>

class QPainter;

namespace vima {

// A small capital-letter tag ("RECOMMENDED") on a capsule in the selection fill.
class Badge final : public QWidget {
    Q_OBJECT

public:
    explicit Badge(QString text, QWidget *parent = nullptr);

    static QSizeF size(const QString &text);
    // Paints the badge with its top-left corner at `at`.
    static void paint(QPainter &painter, QPointF at, const QString &text, const QPalette &colours);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString text_;
};

} // namespace vima
