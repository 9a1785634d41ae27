#include "settings/kit/SettingsLooks.h"

#include "ui/FollowPalette.h"
#include "ui/Palette.h"
#include "ui/SymbolCatalog.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vima {

namespace {

// One role of `widget`'s palette, the rest inherited from its parent.
void setRole(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette colours;
    colours.setColor(role, colour);
    widget->setPalette(colours);
}

// Filled with the ink colour. Disabled, it loses the ink and reads as dimmed
// text on a plain grey, so a button that would do nothing does not look
// ready to click.
void applyInk(QPushButton *button)
{
    QPalette colours;
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Button, Palette::adaptiveGrey());
        colours.setColor(group, QPalette::ButtonText, Palette::onInk());
    }
    colours.setColor(QPalette::Disabled, QPalette::Button, Palette::selectedContentBackground());
    colours.setColor(QPalette::Disabled, QPalette::ButtonText, Palette::tertiaryLabel());
    button->setPalette(colours);
}

} // namespace

QColor toneColor(Tone tone)
{
    switch (tone) {
    case Tone::label: return Palette::label();
    case Tone::secondary: return Palette::secondaryLabel();
    case Tone::tertiary: return Palette::tertiaryLabel();
    case Tone::warning: return Palette::readable(Palette::orange());
    case Tone::success: return Palette::readable(Palette::green());
    case Tone::danger: return Palette::readable(Palette::red());
    }
    return Palette::label();
}

void followTone(QWidget *widget, QPalette::ColorRole role, Tone tone)
{
    followPalette(widget, [widget, role, tone] { setRole(widget, role, toneColor(tone)); });
}

QFrame *dividerLine()
{
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

QLineEdit *searchField(const QString &objectName, const QString &prompt)
{
    auto *field = new QLineEdit;
    field->setObjectName(objectName);
    field->setPlaceholderText(prompt);
    field->setAccessibleName(prompt);
    field->setClearButtonEnabled(true);
    return field;
}

QScrollArea *scrollingArea(QWidget *content)
{
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(content);
    return scroll;
}

void setScrollingPage(QWidget *page, QWidget *content)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollingArea(content));
}

QFont pointFont(double points, QFont::Weight weight, bool serif)
{
    QFont font = QGuiApplication::font();
    if (serif) {
        font.setFamilies({QStringLiteral("DejaVu Serif"), QStringLiteral("Serif")});
        font.setStyleHint(QFont::Serif);
    }
    font.setPointSizeF(points * 0.75);
    font.setWeight(weight);
    return font;
}

QFont monoFont(double points)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(points * 0.75);
    return font;
}

QFont captionFont() { return pointFont(10); }

QFont calloutFont(QFont::Weight weight) { return pointFont(12, weight); }

QFont headlineFont() { return pointFont(13, QFont::DemiBold); }

ToneLabel::ToneLabel(Tone tone, const QString &text, QWidget *parent) : QLabel(parent), tone_(tone)
{
    setTextFormat(Qt::PlainText);
    setText(text);
    followPalette(this, [this] { applyTone(); });
}

void ToneLabel::setTone(Tone tone)
{
    tone_ = tone;
    applyTone();
}

void ToneLabel::applyTone() { setRole(this, QPalette::WindowText, toneColor(tone_)); }

SymbolIcon::SymbolIcon(const QString &symbol, Tone tone, int side, QWidget *parent)
    : QWidget(parent), symbol_(symbol), tone_(tone)
{
    setFixedSize(side, side);
}

void SymbolIcon::setSymbol(const QString &symbol, Tone tone)
{
    symbol_ = symbol;
    tone_ = tone;
    update();
}

void SymbolIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const double ratio = devicePixelRatioF();
    QImage image = SymbolCatalog::image(symbol_, static_cast<int>(width() * ratio), toneColor(tone_),
                                        SymbolCatalog::Weight::medium);
    image.setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(0, 0), image);
}

StatusLine::StatusLine(Tone tone, const QString &symbol, const QString &text, QWidget *parent)
    : QWidget(parent)
    , icon_(new SymbolIcon(symbol, tone, 13))
    , text_(new ToneLabel(tone, text))
    , column_(new QVBoxLayout)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    text_->setFont(captionFont());
    text_->setWordWrap(true);
    column_->setSpacing(2);
    column_->addWidget(text_);
    layout->addWidget(icon_, 0, Qt::AlignTop);
    layout->addLayout(column_, 1);
}

void StatusLine::setText(const QString &text) { text_->setText(text); }

QString StatusLine::text() const { return text_->text(); }

void StatusLine::setStatus(Tone tone, const QString &symbol, const QString &text)
{
    icon_->setSymbol(symbol, tone);
    text_->setTone(tone);
    text_->setText(text);
}

ToneLabel *StatusLine::addLine(Tone tone, const QString &text)
{
    auto *line = new ToneLabel(tone, text);
    line->setFont(captionFont());
    line->setWordWrap(true);
    column_->addWidget(line);
    return line;
}

void StatusLine::addWidget(QWidget *widget) { column_->addWidget(widget, 0, Qt::AlignLeft); }

SettingsSection::SettingsSection(const QString &title, QWidget *parent) : QWidget(parent), form_(new QFormLayout)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto *box = new QFrame;
    box->setObjectName(QStringLiteral("sectionBox"));
    box->setFrameShape(QFrame::StyledPanel);
    box->setLayout(form_);
    form_->setContentsMargins(12, 10, 12, 10);
    form_->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form_->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (!title.isEmpty()) // an untitled box leaves no blank line above it
        layout->addWidget(sectionHeading(title));
    layout->addWidget(box);
}

void SettingsSection::addRow(const QString &label, QWidget *field, QWidget *control)
{
    form_->addRow(fieldLabel(label, control ? control : field), field);
}

QLabel *fieldLabel(const QString &text, QWidget *control)
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    pairLabel(label, control);
    return label;
}

void pairLabel(QLabel *label, QWidget *control)
{
    label->setBuddy(control);
    for (QWidget *named : {control, control->focusProxy()})
        if (named && named->accessibleName().isEmpty())
            named->setAccessibleName(label->text());
}

void SettingsSection::addWidget(QWidget *widget) { form_->addRow(widget); }

QWidget *settingsPageHeader(const QString &title, const QString &subtitle)
{
    auto *header = new QWidget;
    header->setObjectName(QStringLiteral("pageHeader"));
    auto *layout = new QVBoxLayout(header);
    layout->setContentsMargins(4, 0, 4, 2);
    layout->setSpacing(3);
    auto *titleLabel = new ToneLabel(Tone::label, title);
    titleLabel->setFont(pointFont(22, QFont::DemiBold, true));
    auto *subtitleLabel = new ToneLabel(Tone::secondary, subtitle);
    subtitleLabel->setFont(pointFont(12));
    subtitleLabel->setWordWrap(true);
    layout->addWidget(titleLabel);
    layout->addWidget(subtitleLabel);
    return header;
}

QLabel *sectionHeading(const QString &text)
{
    auto *heading = new ToneLabel(Tone::label, text);
    heading->setFont(pointFont(13, QFont::DemiBold, true));
    heading->setContentsMargins(0, 0, 0, 2);
    heading->setAccessibleName(text);
    return heading;
}

ToneLabel *caption(const QString &text, Tone tone)
{
    auto *label = new ToneLabel(tone, text);
    label->setFont(captionFont());
    label->setWordWrap(true);
    return label;
}

QPushButton *linkButton(const QString &text)
{
    auto *button = new QPushButton(text);
    followPalette(button, [button] { setRole(button, QPalette::ButtonText, Palette::link()); });
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0 2px; }"
                                         "QPushButton:focus { text-decoration: underline; }"));
    return button;
}

QPushButton *inkButton(const QString &text)
{
    auto *button = new QPushButton(text);
    followPalette(button, [button] { applyInk(button); });
    button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return button;
}

QHBoxLayout *rowLayout(int spacing)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    return row;
}

QWidget *widgetRow(std::initializer_list<QWidget *> widgets, int spacing)
{
    auto *holder = new QWidget;
    QHBoxLayout *layout = rowLayout(spacing);
    holder->setLayout(layout);
    for (QWidget *widget : widgets)
        layout->addWidget(widget);
    layout->addStretch(1);
    return holder;
}

} // namespace vima
