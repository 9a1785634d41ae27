#include "actions/ResultView.h"

#include "actions/PanelText.h"
#include "model/Text.h"
#include "ui/PanelFrame.h"
#include "ui/PlainText.h"
#include "ui/WrappingText.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWindow>

namespace vima {
namespace {

constexpr double copiedDuration = 1.5;
constexpr int radius = 14;
const QColor systemRed(0xFF, 0x3B, 0x30);
// Past this many characters the body is a view that lays out only the lines
// on screen: a label lays out all of a long script output at once, holding the
// GUI thread for seconds.
constexpr qsizetype longBody = 4000;

bool isLong(const ActionOutcome &outcome) { return outcome.body.size() > longBody; }

QFrame *divider()
{
    auto *line = new QFrame;
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    line->setBackgroundRole(QPalette::Mid);
    return line;
}

QLabel *label(const QString &text, QPalette::ColorRole role = QPalette::WindowText)
{
    auto *l = new QLabel(text);
    l->setTextFormat(Qt::PlainText); // a title from outside never turns into markup
    l->setForegroundRole(role);
    return l;
}

// The filled, emphasised style of the panel's main button.
void makeProminent(QPushButton *button)
{
    button->setProperty("prominent", true);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    button->setDefault(false);
}

} // namespace

ResultView::ResultView(const ActionOutcome &outcome, Actions actions, Scheduler &scheduler)
    : actions_(std::move(actions)), scheduler_(scheduler)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(plainWindowTitle(outcome.title));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    header_ = makeHeader(outcome);
    body_ = makeBody(outcome);
    footer_ = makeFooter(outcome);
    layout->addWidget(header_);
    layout->addWidget(divider());
    layout->addWidget(body_, 1);
    layout->addWidget(divider());
    layout->addWidget(footer_);
    installKeys(outcome);
    setFixedSize(width, fittingHeight());
    PanelFrame::rounded(radius).clip(*this);
}

QWidget *ResultView::makeHeader(const ActionOutcome &outcome)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(8);
    const bool failed = outcome.style == ActionOutcome::Style::failure;
    auto *status = label(failed ? QStringLiteral("⚠") : QStringLiteral("✦"), QPalette::PlaceholderText);
    status->setObjectName(failed ? QStringLiteral("failureSymbol") : QStringLiteral("successSymbol"));
    if (failed) {
        QPalette red = status->palette();
        red.setColor(QPalette::WindowText, systemRed);
        status->setPalette(red);
        status->setForegroundRole(QPalette::WindowText);
    }
    auto *close = new QPushButton(QStringLiteral("✕"));
    close->setObjectName(QStringLiteral("close"));
    close->setFlat(true);
    close->setToolTip(QStringLiteral("Close (Esc)"));
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QPushButton::clicked, this, [this] { actions_.close(); });
    // One line between the symbol and the close button, elided to fit.
    const QString name = Text::cut(outcome.title, PanelText::longestTitle);
    auto *title = label(name);
    title->setObjectName(QStringLiteral("title"));
    title->setAccessibleName(name);
    QFont headline = title->font();
    headline.setBold(true);
    title->setFont(headline);
    const QMargins margins = layout->contentsMargins();
    const int room = width - margins.left() - margins.right() - status->sizeHint().width()
                     - close->sizeHint().width() - 2 * layout->spacing();
    title->setText(QFontMetrics(headline).elidedText(name, Qt::ElideRight, room));
    layout->addWidget(status);
    layout->addWidget(title);
    layout->addStretch();
    layout->addWidget(close);
    return row;
}

QWidget *ResultView::makeBody(const ActionOutcome &outcome)
{
    auto *column = new QWidget;
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeBodyText(outcome), 1);
    if (outcome.recovery) {
        // Under the body, not in its scroll: a hint (an answer cut at the
        // limit, a paste that failed) is read without scrolling to the end.
        recovery_ = new WrappingText(Text::cut(*outcome.recovery, PanelText::longestMessage),
                                     QPalette::PlaceholderText);
        recovery_->setObjectName(QStringLiteral("recovery"));
        auto *row = new QVBoxLayout;
        row->setContentsMargins(14, 0, 14, 14);
        row->addWidget(recovery_);
        layout->addLayout(row);
    }
    return column;
}

QWidget *ResultView::makeBodyText(const ActionOutcome &outcome)
{
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(14, 14, 14, outcome.recovery ? 10 : 14);
    QWidget *body = isLong(outcome) ? makeLongBody(outcome) : makeShortBody(outcome);
    body->setObjectName(QStringLiteral("body"));
    if (outcome.style == ActionOutcome::Style::success) {
        QFont font = body->font();
        font.setPointSizeF(13 * 0.75); // 13 points at 96 dpi
        body->setFont(font);
    }
    layout->addWidget(body, isLong(outcome) ? 1 : 0);
    if (isLong(outcome))
        return content; // the text view scrolls by itself
    layout->addStretch();

    scroll_ = new QScrollArea;
    scroll_->setObjectName(QStringLiteral("scroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidget(content);
    scroll_->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    return scroll_;
}

QWidget *ResultView::makeFooter(const ActionOutcome &outcome)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(8);
    if (outcome.recoveryAction) {
        auto *recover = new QPushButton(outcome.recoveryAction->title);
        recover->setObjectName(QStringLiteral("recoveryAction"));
        makeProminent(recover);
        connect(recover, &QPushButton::clicked, this, [perform = outcome.recoveryAction->perform] {
            if (perform)
                perform();
        });
        layout->addWidget(recover);
    }
    layout->addStretch();
    if (outcome.style == ActionOutcome::Style::success) {
        const bool canReplace = outcome.replaceTarget.has_value();
        layout->addWidget(makeCopyButton(!canReplace));
        if (outcome.replaced) {
            auto *close = new QPushButton(QStringLiteral("Close"));
            close->setObjectName(QStringLiteral("closeButton"));
            connect(close, &QPushButton::clicked, this, [this] { actions_.close(); });
            layout->addWidget(close);
        }
        if (canReplace) {
            auto *replace = new QPushButton(QStringLiteral("⇄ Replace Selection"));
            replace->setObjectName(QStringLiteral("replace"));
            makeProminent(replace);
            connect(replace, &QPushButton::clicked, this, [this] { actions_.replace(); });
            layout->addWidget(replace);
        }
    }
    return row;
}

QPushButton *ResultView::makeCopyButton(bool prominent)
{
    copyButton_ = new QPushButton;
    copyButton_->setObjectName(QStringLiteral("copy"));
    if (prominent)
        makeProminent(copyButton_);
    connect(copyButton_, &QPushButton::clicked, this, &ResultView::copy);
    setDidCopy(false);
    return copyButton_;
}

void ResultView::installKeys(const ActionOutcome &outcome)
{
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { actions_.close(); });
    if (outcome.style != ActionOutcome::Style::success)
        return;
    auto *copyKey = new QShortcut(QKeySequence::Copy, this);
    connect(copyKey, &QShortcut::activated, this, &ResultView::copy);
    if (outcome.replaceTarget) {
        for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
            auto *returnKey = new QShortcut(QKeySequence(key), this);
            connect(returnKey, &QShortcut::activated, this, [this] { actions_.replace(); });
        }
    }
}

void ResultView::copy()
{
    actions_.copy();
    if (didCopy_)
        return; // the label turns back 1.5 s after the first press
    setDidCopy(true);
    QPointer<ResultView> self(this);
    scheduler_.schedule(copiedDuration, [self] {
        if (self)
            self->setDidCopy(false);
    });
}

void ResultView::setDidCopy(bool copied)
{
    didCopy_ = copied;
    if (copyButton_)
        copyButton_->setText(copied ? QStringLiteral("✓ Copied") : QStringLiteral("Copy"));
}

QWidget *ResultView::makeShortBody(const ActionOutcome &outcome)
{
    return new WrappingText(PanelText::body(outcome.body));
}

QWidget *ResultView::makeLongBody(const ActionOutcome &outcome)
{
    auto *body = new QPlainTextEdit;
    body->setReadOnly(true);
    body->setPlainText(PanelText::body(outcome.body));
    body->setAccessibleName(Text::cut(outcome.title, PanelText::longestTitle));
    body->setFrameShape(QFrame::NoFrame);
    body->setFocusPolicy(Qt::ClickFocus);
    body->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    body->viewport()->setAutoFillBackground(false);
    body->setBackgroundRole(QPalette::Window);
    return body;
}

int ResultView::fittingHeight() const
{
    if (!scroll_)
        return maxHeight;
    int content = scroll_->widget()->layout()->totalHeightForWidth(width - 2);
    if (recovery_)
        content += recovery_->heightForWidth(width - 2 * 14) + 14;
    const int total = header_->sizeHint().height() + 1 + content + 1 + footer_->sizeHint().height();
    return std::clamp(total, minHeight, maxHeight);
}

void ResultView::mousePressEvent(QMouseEvent *event)
{
    // The panel moves by dragging its background.
    if (event->button() == Qt::LeftButton && windowHandle())
        windowHandle()->startSystemMove();
    QWidget::mousePressEvent(event);
}

void ResultView::paintEvent(QPaintEvent *) { PanelFrame::rounded(radius).paint(*this); }

} // namespace vima
