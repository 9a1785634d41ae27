#pragma once

// The looks every settings page shares. A page is a column of:
//
//     layout->addWidget(settingsPageHeader("General", "How Tavelon is …"));
//     auto *section = new SettingsSection("Summoning");        // heading + box
//     section->addRow("Hotkey", recorder);                     // labelled row
//     section->addWidget(caption("Hold the hotkey and …"));    // full-width row
//     section->addWidget(new StatusLine(Tone::warning, "exclamationmark.triangle.fill", text));
//
// Colours come from Palette when painted, so a theme switch shows at once.
// Texts are plain text; every control gets its visible text as accessible name.

#include <QFrame>
#include <QLabel>
#include <QString>
#include <initializer_list>

class QAbstractButton;
class QFormLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace vima {

// The colour of a text or symbol.
enum class Tone { label, secondary, tertiary, warning, success, danger };
QColor toneColor(Tone tone);

// A plain-text label in a tone that follows the theme.
class ToneLabel : public QLabel {
    Q_OBJECT

public:
    explicit ToneLabel(Tone tone, const QString &text = {}, QWidget *parent = nullptr);
    void setTone(Tone tone);

private:
    void applyTone();
    Tone tone_;
};

// A system symbol ("exclamationmark.triangle.fill") drawn in a tone.
class SymbolIcon final : public QWidget {
    Q_OBJECT

public:
    SymbolIcon(const QString &symbol, Tone tone, int side = 14, QWidget *parent = nullptr);
    void setSymbol(const QString &symbol, Tone tone);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString symbol_;
    Tone tone_;
};

// A symbol beside a text, in a tone (green "checkmark.circle.fill" for what
// works, orange "exclamationmark.triangle.fill" for what needs the user);
// further lines and buttons go under the text with addLine()/addWidget().
class StatusLine final : public QWidget {
    Q_OBJECT

public:
    StatusLine(Tone tone, const QString &symbol, const QString &text, QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;
    void setStatus(Tone tone, const QString &symbol, const QString &text);
    ToneLabel *addLine(Tone tone, const QString &text);
    void addWidget(QWidget *widget);

private:
    SymbolIcon *icon_;
    ToneLabel *text_;
    QVBoxLayout *column_;
};

// A titled group of rows: the heading in the section-heading style above a
// rounded box holding a form.
class SettingsSection final : public QWidget {
    Q_OBJECT

public:
    explicit SettingsSection(const QString &title, QWidget *parent = nullptr);

    // A row labelled `label`, which names `control` (pairLabel()): the
    // field itself unless given, else a control inside a compound field.
    void addRow(const QString &label, QWidget *field, QWidget *control = nullptr);
    void addWidget(QWidget *widget);
    QFormLayout *form() const { return form_; }

private:
    QFormLayout *form_;
};

// Ties a label to the control it names: the label becomes the control's
// buddy, and its text the accessible name of the control and of the
// control's focus proxy (the slider inside a slider row), unless they have
// one of their own. A buddy alone names a control only while the two share a
// parent, and never a combo box on Linux.
void pairLabel(QLabel *label, QWidget *control);
// A plain-text label for a form row, paired with `control`.
QLabel *fieldLabel(const QString &text, QWidget *control);

// Draws `widget`'s `role` in `tone`, following the theme.
void followTone(QWidget *widget, QPalette::ColorRole role, Tone tone);

// Title and subtitle at the top of a page.
QWidget *settingsPageHeader(const QString &title, const QString &subtitle);
// A section heading: headline size, serif, label colour, 2 points below.
QLabel *sectionHeading(const QString &text);
// Small secondary text that wraps.
ToneLabel *caption(const QString &text, Tone tone = Tone::secondary);
// A flat button drawn as a link.
QPushButton *linkButton(const QString &text);
// A filled button in the ink colour: the prominent action of a panel or sheet.
QPushButton *inkButton(const QString &text);
// A thin line across a column, between blocks.
QFrame *dividerLine();
// A search field with a clear button; `prompt` is its placeholder and accessible name.
QLineEdit *searchField(const QString &objectName, const QString &prompt);
// A frameless area scrolling `content`; it takes no focus, so Tab goes from
// the tabs straight to the first control.
QScrollArea *scrollingArea(QWidget *content);
// Fills `page` edge to edge with a scrollingArea() holding `content`.
void setScrollingPage(QWidget *page, QWidget *content);
// A row of widgets, leading-aligned.
QHBoxLayout *rowLayout(int spacing = 8);
// A widget holding `widgets` in a leading-aligned row.
QWidget *widgetRow(std::initializer_list<QWidget *> widgets, int spacing = 8);
// The system font at `points` of the other platform (Qt's point is 4/3 larger).
QFont pointFont(double points, QFont::Weight weight = QFont::Normal, bool serif = false);
// The system's fixed-width font at `points` of the other platform.
QFont monoFont(double points);
QFont captionFont();
// Body text a size down, for explanations and rows.
QFont calloutFont(QFont::Weight weight = QFont::Normal);
// Bold body text: a row's or a block's title.
QFont headlineFont();

} // namespace vima
