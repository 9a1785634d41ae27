#include "settings/general/HotkeyRecorderView.h"

#include "platform/KeyboardGrab.h"
#include "platform/UiPrompts.h"
#include "settings/kit/ConfigBinding.h"
#include "settings/kit/HotkeyFailureFlag.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"
#include "ui/Palette.h"

#include <QApplication>
#include <QEasingCurve>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace vima {

// While recording, a rounded border two pixels wide inside its edge.
class RecorderButton final : public QPushButton {
public:
    RecorderButton()
    {
        QFont medium = font();
        medium.setPointSizeF(13 * 0.75); // the other platform's points
        medium.setWeight(QFont::Medium);
        setFont(medium);
        setMinimumWidth(130);
        setObjectName(QStringLiteral("hotkeyRecorder"));
        setAccessibleName(QStringLiteral("Hotkey"));
    }

    void setRinged(bool ringed)
    {
        ringed_ = ringed;
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPushButton::paintEvent(event);
        if (!ringed_)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Palette::controlBoundary(), 2)); // over the edge: as visible as the edge
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
    }

private:
    bool ringed_ = false;
};

namespace {

constexpr int fadeMs = 150;

} // namespace

HotkeyRecorderView::HotkeyRecorderView(SettingsContext &context, QWidget *parent)
    : QWidget(parent)
    , model_(context.shortcuts, context.keyEventCodes)
    , keyboard_(context.keyboard)
    , button_(new RecorderButton)
    , reset_(linkButton(QStringLiteral("Reset")))
    , cancel_(linkButton(QStringLiteral("Cancel")))
    , unavailable_(new StatusLine(Tone::warning, QStringLiteral("exclamationmark.triangle.fill"),
                                  QStringLiteral("Already in use by another app")))
    , refusal_(new StatusLine(Tone::danger, QStringLiteral("exclamationmark.octagon.fill"), {}))
    , refusalHint_(refusal_->addLine(Tone::secondary, {}))
    , fade_(new QVariantAnimation(this))
{
    model_.beep = [&prompts = context.prompts] { prompts.beep(); };
    reset_->setToolTip(HotkeyRecorderModel::resetToolTip());

    auto *row = rowLayout(8);
    row->addWidget(button_);
    row->addWidget(reset_);
    row->addWidget(cancel_);
    row->addWidget(unavailable_, 10, Qt::AlignVCenter);
    row->addStretch(1);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    // A refusal makes the control taller; no layout may squeeze its lines together.
    column->setSizeConstraint(QLayout::SetMinimumSize);
    column->addLayout(row);
    column->addWidget(refusal_);

    auto *opacity = new QGraphicsOpacityEffect(refusal_);
    refusal_->setGraphicsEffect(opacity);
    refusal_->hide();
    fade_->setDuration(fadeMs);
    fade_->setEasingCurve(QEasingCurve::OutCubic);
    connect(fade_, &QVariantAnimation::valueChanged, opacity,
            [opacity](const QVariant &value) { opacity->setOpacity(value.toDouble()); });
    connect(fade_, &QVariantAnimation::finished, refusal_, [this] {
        if (shownRefusal_.isEmpty())
            refusal_->hide();
    });

    connect(button_, &QPushButton::clicked, &model_, &HotkeyRecorderModel::toggleRecording);
    connect(reset_, &QPushButton::clicked, &model_, &HotkeyRecorderModel::resetToDefault);
    connect(cancel_, &QPushButton::clicked, &model_, &HotkeyRecorderModel::stopRecording);
    connect(&model_, &HotkeyRecorderModel::changed, this, &HotkeyRecorderView::refresh);
    connect(&model_, &HotkeyRecorderModel::changed, this, &HotkeyRecorderView::followRecording);
    bind(context);
    // After the binding's write, as promised.
    connect(&model_, &HotkeyRecorderModel::hotkeyChosen, this, &HotkeyRecorderView::hotkeyChosen);
    refresh();
}

HotkeyRecorderView::~HotkeyRecorderView()
{
    if (holdsKeyboard_)
        keyboard_.release();
}

QPushButton *HotkeyRecorderView::recorderButton() const { return button_; }

void HotkeyRecorderView::followRecording()
{
    // A combination another program has grabbed would go to that program;
    // while we hold the keyboard its grab never fires, and the recorder can
    // say why the combination won't do.
    if (model_.isRecording() == holdsKeyboard_)
        return;
    holdsKeyboard_ = model_.isRecording();
    if (holdsKeyboard_) {
        keyboard_.grab(window()->winId());
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
        keyboard_.release();
    }
}

bool HotkeyRecorderView::eventFilter(QObject *watched, QEvent *event)
{
    // A popup (a list, a menu) takes the keyboard while it is open, and
    // closing the last one ends every grab we hold: take ours back.
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (event->type() == QEvent::Hide && widget && widget->windowType() == Qt::Popup &&
        !QApplication::activePopupWidget())
        keyboard_.grab(window()->winId());
    return QWidget::eventFilter(watched, event);
}

void HotkeyRecorderView::bind(SettingsContext &context)
{
    ConfigStore &store = context.store;
    const auto field = configField(&VimaConfig::hotkey);
    store.watch(this, field.get, [this](const HotkeySpec &hotkey) { model_.setHotkey(hotkey); });
    connect(&model_, &HotkeyRecorderModel::hotkeyChosen, this,
            [&store, field](const HotkeySpec &hotkey) { ConfigBinding::write(store, field, hotkey); });
    model_.setUnavailable(context.hotkeyFailure.failed());
    connect(&context.hotkeyFailure, &HotkeyFailureFlag::changed, &model_, &HotkeyRecorderModel::setUnavailable);
}

void HotkeyRecorderView::hideEvent(QHideEvent *event)
{
    model_.stopRecording();
    QWidget::hideEvent(event);
}

void HotkeyRecorderView::refresh()
{
    const bool recording = model_.isRecording();
    button_->setText(model_.label());
    button_->setAccessibleDescription(model_.label());
    button_->setToolTip(model_.buttonToolTip());
    button_->setRinged(recording);
    reset_->setVisible(!recording);
    cancel_->setVisible(recording);
    unavailable_->setVisible(model_.showsUnavailable());
    if (!model_.refusal().isEmpty()) {
        refusal_->setText(model_.refusal());
        refusalHint_->setText(model_.refusalHint());
    }
    if (model_.refusal() != shownRefusal_) {
        const bool wasShown = !shownRefusal_.isEmpty();
        shownRefusal_ = model_.refusal();
        if (wasShown != !shownRefusal_.isEmpty())
            fadeRefusal(!shownRefusal_.isEmpty());
    }
}

void HotkeyRecorderView::fadeRefusal(bool shown)
{
    fade_->stop();
    fade_->setStartValue(shown ? 0.0 : 1.0);
    fade_->setEndValue(shown ? 1.0 : 0.0);
    if (shown) {
        refusal_->show();
        // Showing it lays out the form we sit in at once, still from our
        // height without it, and nothing asks again: the lines under us
        // would be drawn over the refusal.
        updateGeometry();
    }
    fade_->start();
}

} // namespace vima
