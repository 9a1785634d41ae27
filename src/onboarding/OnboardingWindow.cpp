#include "onboarding/OnboardingWindow.h"

#include "onboarding/OnboardingFooter.h"
#include "onboarding/OnboardingModel.h"
#include "onboarding/ReadyPage.h"
#include "onboarding/TemplatePage.h"
#include "onboarding/WelcomePage.h"
#include "settings/kit/AccessibleComboBox.h"
#include "settings/kit/IntentPolicy.h"
#include "settings/kit/SettingsLooks.h"
#include "ui/FollowPalette.h"
#include "ui/Palette.h"
#include "ui/WindowCommands.h"

#include <QFrame>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace vima {

namespace {

// A page taller than the screen allows scrolls rather than squeezing its texts.
QScrollArea *scrolling(QWidget *page)
{
    page->setAutoFillBackground(false);
    page->setContentsMargins(40, 30, 40, 16);
    QScrollArea *area = scrollingArea(page);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->viewport()->setAutoFillBackground(false);
    return area;
}

} // namespace

OnboardingWindow::OnboardingWindow(OnboardingContext context, bool asksBeforeReplacing, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , model_(new OnboardingModel(std::move(context), asksBeforeReplacing, this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Welcome to Tavelon"));
    IntentPolicy::install();
    AccessibleComboBox::installFactory();
    setAutoFillBackground(true); // the palette's window colour, which follows the theme

    pages_ = new QStackedWidget;
    for (QWidget *page : std::initializer_list<QWidget *>{new WelcomePage(*model_), new TemplatePage(*model_),
                                                          new ReadyPage(*model_)})
        pages_->addWidget(scrolling(page));

    auto *divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    followPalette(divider, [divider] {
        QPalette line;
        line.setColor(QPalette::WindowText, Palette::separator());
        divider->setPalette(line);
    });
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(pages_, 1);
    column->addWidget(divider);
    auto *footer = new OnboardingFooter(*model_);
    footer->setObjectName(QStringLiteral("footer"));
    column->addWidget(footer);

    closeOnCtrlW(this);
    model_->dialogParent = this;
    model_->close = [self = QPointer(this)] {
        if (self)
            self->close();
    };
    showPage();
    for (QScrollArea *area : pageAreas())
        area->widget()->installEventFilter(this);
    fitPages();
    connect(model_, &OnboardingModel::pageChanged, this, &OnboardingWindow::showPage);
}

// A page's texts and forms change with the trust, the hotkey and the
// installed template: it is measured again once its layout has taken the
// change in, on the next turn of the event loop.
bool OnboardingWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest && !fitPending_) {
        fitPending_ = true;
        QTimer::singleShot(0, this, &OnboardingWindow::fitPages);
    }
    return QWidget::eventFilter(watched, event);
}

OnboardingWindow::~OnboardingWindow() = default;

void OnboardingWindow::showPage()
{
    pages_->setCurrentIndex(static_cast<int>(model_->page()));
}

void OnboardingWindow::fitPages()
{
    fitPending_ = false;
    int pagesHeight = 0;
    for (QScrollArea *area : pageAreas()) {
        const QWidget *page = area->widget();
        pagesHeight = std::max(pagesHeight, page->hasHeightForWidth() ? page->heightForWidth(fixedSize.width())
                                                                       : page->sizeHint().height());
    }
    // The divider and the footer.
    const int chrome = layout()->sizeHint().height() - pages_->sizeHint().height();
    const int needed = std::max(pagesHeight + chrome, fixedSize.height());
    const QScreen *screen = this->screen();
    // Room for the title bar and the desktop's panels.
    const int room = screen ? std::max(screen->availableGeometry().height() - 40, fixedSize.height()) : needed;
    // A scroll bar shown for a moment would narrow the page, wrap its texts
    // further and stay: where everything fits, there is none.
    for (QScrollArea *area : pageAreas())
        area->setVerticalScrollBarPolicy(needed <= room ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    setFixedSize(fixedSize.width(), std::min(needed, room));
}

QList<QScrollArea *> OnboardingWindow::pageAreas() const
{
    QList<QScrollArea *> areas;
    for (int index = 0; index < pages_->count(); ++index)
        areas.append(static_cast<QScrollArea *>(pages_->widget(index)));
    return areas;
}

void OnboardingWindow::keyPressEvent(QKeyEvent *event)
{
    using Key = OnboardingModel::Key;
    const int key = event->key();
    const bool isReturn = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((isReturn && model_->press(Key::returnKey)) || (key == Qt::Key_Escape && model_->press(Key::escapeKey)))
        return;
    QWidget::keyPressEvent(event);
}

void OnboardingWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    Q_EMIT closing();
}

} // namespace vima
