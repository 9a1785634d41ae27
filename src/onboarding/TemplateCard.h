#pragma once

#include "model/RingTemplate.h"

#include <QAbstractButton>

namespace vima {

// One starter template to choose: its symbol, name and summary on a card that
// is highlighted while checked. A click, Space or an accessible "Toggle"
// checks it alike; its page listens to toggled().
class TemplateCard : public QAbstractButton {
    Q_OBJECT

public:
    explicit TemplateCard(const RingTemplate &ringTemplate, QWidget *parent = nullptr);

    const QString &templateID() const { return templateID_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString templateID_;
    QWidget *content_;
};

} // namespace vima
