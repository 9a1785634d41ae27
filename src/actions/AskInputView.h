#pragma once

#include <QWidget>

class QLineEdit;

namespace vima {

// The ask panel: a question, a one-line field and Cancel / Continue. Return
// answers with the field's text as typed, Escape cancels.
class AskInputView : public QWidget {
    Q_OBJECT

public:
    static constexpr int width = 380;

    explicit AskInputView(const QString &question);

    QString question() const { return question_; }
    QLineEdit *field() const { return field_; }

Q_SIGNALS:
    void submitted(const QString &text);
    void cancelled();
    // The window is closing by other means than an answer (the window manager).
    void closing();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *makeHeader();
    QWidget *makeButtons();
    void submit();

    QString question_;
    QLineEdit *field_ = nullptr;
};

} // namespace vima
