#include "settings/general/GeneralSettingsView.h"

#include "settings/general/AppRingChip.h"
#include "settings/general/HotkeyRecorderView.h"
#include "settings/general/PathLabel.h"
#include "settings/kit/ConfigBinding.h"
#include "settings/kit/FieldText.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/kit/ShownName.h"
#include "settings/kit/SliderRow.h"
#include "store/ConfigStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vima {

namespace {

const QString warningSymbol = QStringLiteral("exclamationmark.triangle.fill");

QCheckBox *checkBox(const QString &text, const QString &name)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(name);
    return box;
}

QPushButton *button(const QString &text, const QString &name)
{
    auto *pushButton = new QPushButton(text);
    pushButton->setObjectName(name);
    return pushButton;
}

} // namespace

GeneralSettingsView::GeneralSettingsView(SettingsContext &context, QWidget *parent)
    : QWidget(parent), context_(context), model_(context)
{
    setObjectName(QStringLiteral("general"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *header = settingsPageHeader(QStringLiteral("General"),
                                      QStringLiteral("How Tavelon is summoned, and how the ring looks and behaves."));
    header->setContentsMargins(20, 22, 20, 4);
    layout->addWidget(header);
    QScrollArea *scroll = scrollingArea(makeContent());
    scroll->setObjectName(QStringLiteral("generalScroll"));
    layout->addWidget(scroll, 1);
}

QWidget *GeneralSettingsView::makeContent()
{
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(20, 8, 20, 20);
    column->setSpacing(18);
    for (SettingsSection *section :
         {makeSummoning(), makeStartup(), makePointerTrigger(), makeReadingSelection(), makeAppearance(), makeRing(),
          makePerAppRings(), makeStarterRings(), makeConfigurationFile()})
        column->addWidget(section);
    column->addStretch(1);
    return content;
}

void GeneralSettingsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    model_.tabShown();
}

SettingsSection *GeneralSettingsView::makeSummoning()
{
    auto *section = new SettingsSection(QStringLiteral("Summoning"));
    auto *recorder = new HotkeyRecorderView(context_);
    recorder->setObjectName(QStringLiteral("hotkeyRecorder"));
    section->addRow(QStringLiteral("Hotkey"), recorder);
    reservation_ = new StatusLine(Tone::warning, warningSymbol, {});
    reservation_->setObjectName(QStringLiteral("hotkeyReservation"));
    reservation_->addLine(Tone::secondary, QStringLiteral("The X server gives it to that program, so Tavelon will "
                                                          "never see it. Pick a different combination."));
    section->addWidget(reservation_);
    section->addWidget(caption(QStringLiteral("Hold the hotkey and sweep the pointer to a slot, then let go. A quick "
                                              "tap leaves the ring open so you can click or use the keyboard.")));
    connect(&model_, &GeneralSettingsModel::hotkeyReservationChanged, this, &GeneralSettingsView::showReservation);
    showReservation();
    return section;
}

void GeneralSettingsView::showReservation()
{
    const auto reservation = model_.hotkeyReservation();
    reservation_->setVisible(reservation.has_value());
    if (reservation)
        reservation_->setText(reservation->name);
}

SettingsSection *GeneralSettingsView::makeStartup()
{
    auto *section = new SettingsSection(QStringLiteral("Startup"));
    launchAtLogin_ = checkBox(QStringLiteral("Launch Tavelon at login"), QStringLiteral("launchAtLogin"));
    connect(launchAtLogin_, &QCheckBox::toggled, this, [this](bool on) { model_.setLaunchAtLogin(on); });
    loginCaption_ = caption({});
    section->addWidget(launchAtLogin_);
    section->addWidget(loginCaption_);
    connect(&model_, &GeneralSettingsModel::loginChanged, this, &GeneralSettingsView::showLogin);
    showLogin();
    return section;
}

void GeneralSettingsView::showLogin()
{
    showChecked(launchAtLogin_, model_.isLaunchAtLoginOn());
    const GeneralSettingsModel::LoginNote note = model_.loginNote();
    loginCaption_->setText(note.text);
    loginCaption_->setTone(note.kind == GeneralSettingsModel::LoginNote::Kind::error ? Tone::warning
                                                                                     : Tone::secondary);
}

SettingsSection *GeneralSettingsView::makePointerTrigger()
{
    ConfigStore &store = context_.store;
    auto *section = new SettingsSection(QStringLiteral("Pointer trigger"));
    auto *enabled = checkBox(QStringLiteral("Summon with a long right-click"), QStringLiteral("pointerTriggerEnabled"));
    ConfigBinding::bind(store, enabled, configField(&VimaConfig::pointerTrigger, &PointerTrigger::enabled));
    section->addWidget(enabled);
    section->addWidget(caption(QStringLiteral(
        "Hold the right mouse button still for a moment to open the ring at the pointer, then sweep to a slot and "
        "let go — the same gesture as the hotkey, without the keyboard. A normal quick right-click still shows the "
        "usual menu.")));
    accessibilityWarning_ = new StatusLine(
        Tone::warning, warningSymbol,
        QStringLiteral("Without XTest the long-press can't be detected yet. The keyboard hotkey keeps working "
                       "either way."));
    accessibilityWarning_->setObjectName(QStringLiteral("accessibilityWarning"));
    auto *open = button(QStringLiteral("Open Permissions"), QStringLiteral("openPermissions"));
    connect(open, &QPushButton::clicked, this, [this] { model_.openPermissions(); });
    accessibilityWarning_->addWidget(open);
    section->addWidget(accessibilityWarning_);
    auto *holdDelay = new SliderRow(0.12, 0.6, 2, QStringLiteral("s"));
    holdDelay->setObjectName(QStringLiteral("holdDelay"));
    ConfigBinding::bind(store, holdDelay, configField(&VimaConfig::pointerTrigger, &PointerTrigger::holdDelay));
    section->addRow(QStringLiteral("Hold delay"), holdDelay);
    section->addWidget(caption(
        QStringLiteral("Shorter feels snappier; longer makes it harder to trip on an ordinary right-click.")));
    const auto showWarning = [this] { accessibilityWarning_->setVisible(model_.showsAccessibilityWarning()); };
    connect(&model_, &GeneralSettingsModel::accessibilityWarningChanged, this, showWarning);
    showWarning();
    return section;
}

SettingsSection *GeneralSettingsView::makeReadingSelection()
{
    auto *section = new SettingsSection(QStringLiteral("Reading your selection"));
    auto *fallback = checkBox(QStringLiteral("Use the clipboard when an app won't share its selection"),
                              QStringLiteral("clipboardFallback"));
    ConfigBinding::bind(context_.store, fallback,
                        configField(&VimaConfig::selection, &SelectionSettings::clipboardFallback));
    section->addWidget(fallback);
    section->addWidget(caption(QStringLiteral(
        "AI actions read the highlighted text from the PRIMARY selection first, which never touches your clipboard. "
        "Apps that don't offer it — some Java and Wine apps — don't answer, so Tavelon copies the selection "
        "instead and puts your clipboard back straight away. With this off, those apps report that nothing is "
        "selected rather than being read.")));
    return section;
}

SettingsSection *GeneralSettingsView::makeAppearance()
{
    auto *section = new SettingsSection(QStringLiteral("Appearance"));
    auto *theme = new SegmentedControl({QStringLiteral("Auto"), QStringLiteral("Light"), QStringLiteral("Dark")});
    theme->setObjectName(QStringLiteral("theme"));
    theme->setMaximumWidth(320);
    ConfigBinding::bind(context_.store, theme, configField(&VimaConfig::appearance, &Appearance::theme),
                        QList<AppTheme>{AppTheme::system, AppTheme::light, AppTheme::dark});
    section->addRow(QStringLiteral("Theme"), theme);
    // Our own fixed text: its emphasis is markup.
    auto *explanation = caption({});
    explanation->setTextFormat(Qt::RichText);
    explanation->setText(QStringLiteral("<b>Auto</b> follows your desktop's Light/Dark setting. Choose <b>Light</b> or "
                                        "<b>Dark</b> to pin Tavelon to one regardless of the system."));
    section->addWidget(explanation);
    return section;
}

SettingsSection *GeneralSettingsView::makeRing()
{
    auto *section = new SettingsSection(QStringLiteral("Ring"));
    QStringList labels;
    for (qint64 count : GeneralSettingsModel::slotCounts)
        labels.append(QString::number(count));
    auto *slots = new SegmentedControl(labels);
    slots->setObjectName(QStringLiteral("slotCount"));
    slots->setMaximumWidth(320);
    ConfigBinding::bind<qint64>(context_.store, slots, configField(&VimaConfig::slotCount),
                                GeneralSettingsModel::slotCounts, [this] { model_.slotCountEdited(); },
                                [this](qint64 count) { return model_.acceptsSlotCount(count, window()); });
    section->addRow(QStringLiteral("Slots"), slots);
    addSliderRow(section, QStringLiteral("Ring size"), QStringLiteral("sizeScale"), 0.7, 1.6, 2,
                 QStringLiteral("×"), &Appearance::sizeScale);
    addSliderRow(section, QStringLiteral("Inner radius (dead zone)"), QStringLiteral("innerRadius"), 28, 90, 0,
                 QStringLiteral("pt"), &Appearance::innerRadius);
    addSliderRow(section, QStringLiteral("Outer radius"), QStringLiteral("outerRadius"), 100, 240, 0,
                 QStringLiteral("pt"), &Appearance::outerRadius);
    addSliderRow(section, QStringLiteral("Animation"), QStringLiteral("animationDuration"), 0.05, 0.5, 2,
                 QStringLiteral("s"), &Appearance::animationDuration);
    addSliderRow(section, QStringLiteral("Quick-tap threshold"), QStringLiteral("stickyTapThreshold"), 0.1, 0.8, 2,
                 QStringLiteral("s"), &Appearance::stickyTapThreshold);
    addSliderRow(section, QStringLiteral("Pack hover delay"), QStringLiteral("subRingDwell"), 0.05, 0.8, 2,
                 QStringLiteral("s"), &Appearance::subRingDwell);
    section->addWidget(caption(QStringLiteral(
        "Release the hotkey faster than the quick-tap threshold and the ring stays open. Rest the pointer on a pack "
        "slot for the hover delay and the nested ring opens without letting go — raise it if rings open while "
        "you're sweeping past.")));
    return section;
}

void GeneralSettingsView::addSliderRow(SettingsSection *section, const QString &title, const QString &name,
                                       double minimum, double maximum, int decimals, const QString &unit,
                                       double Appearance::*field)
{
    auto *slider = new SliderRow(minimum, maximum, decimals, unit);
    slider->setObjectName(name);
    ConfigBinding::bind(context_.store, slider, configField(&VimaConfig::appearance, field));
    section->addRow(title, slider);
}

SettingsSection *GeneralSettingsView::makePerAppRings()
{
    auto *section = new SettingsSection(QStringLiteral("Per-app rings"));
    auto *contextAware = checkBox(QStringLiteral("Context-aware rings"), QStringLiteral("contextAwareRings"));
    ConfigBinding::bind(context_.store, contextAware,
                        configField(&VimaConfig::featureFlags, &FeatureFlags::contextAwareRings));
    section->addWidget(contextAware);
    section->addWidget(caption(QStringLiteral(
        "When an app you've made a ring for is frontmost, that ring replaces your default one — same hotkey, "
        "different slots. Every other app keeps the default ring, and page flipping is off while an app ring is up, "
        "because it isn't one of your pages.")));
    noAppRings_ = caption(QStringLiteral(
        "No app rings yet — add one on the Items tab with Add App Ring, and pick the application it belongs to."));
    appRings_ = new QWidget;
    appRings_->setObjectName(QStringLiteral("appRings"));
    appRingRow_ = rowLayout(8);
    appRings_->setLayout(appRingRow_);
    section->addWidget(noAppRings_);
    section->addWidget(appRings_);
    connect(&model_, &GeneralSettingsModel::appRingsChanged, this, &GeneralSettingsView::showAppRings);
    showAppRings();
    return section;
}

void GeneralSettingsView::showAppRings()
{
    while (QLayoutItem *item = appRingRow_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QList<GeneralSettingsModel::AppRingChip> chips = model_.appRingChips();
    for (const GeneralSettingsModel::AppRingChip &chip : chips)
        appRingRow_->addWidget(new AppRingChip(chip.bundleID, chip.name, context_.appIcons));
    appRingRow_->addStretch(1);
    noAppRings_->setVisible(chips.isEmpty());
    appRings_->setVisible(!chips.isEmpty());
}

SettingsSection *GeneralSettingsView::makeStarterRings()
{
    auto *section = new SettingsSection(QStringLiteral("Starter rings"));
    template_ = new QComboBox;
    template_->setObjectName(QStringLiteral("template"));
    template_->setMaximumWidth(320);
    for (const RingTemplate &ringTemplate : RingTemplate::all())
        template_->addItem(ringTemplate.name, ringTemplate.id);
    connect(template_, &QComboBox::currentIndexChanged, this,
            [this](int index) { model_.setSelectedTemplateID(template_->itemData(index).toString()); });
    section->addRow(QStringLiteral("Template"), template_);

    templateDetails_ = new QWidget;
    auto *details = new QVBoxLayout(templateDetails_);
    details->setContentsMargins(0, 0, 0, 0);
    templateSummary_ = caption({});
    templatePreview_ = caption({}, Tone::tertiary);
    auto *replace = button(QStringLiteral("Replace Default Ring…"), QStringLiteral("replaceDefaultRing"));
    auto *introduction = linkButton(QStringLiteral("Show Introduction Again"));
    introduction->setObjectName(QStringLiteral("showIntroduction"));
    QPointer<GeneralSettingsView> self(this);
    connect(replace, &QPushButton::clicked, this, [self] {
        if (self)
            self->model_.replaceDefaultRing(self->window());
    });
    connect(introduction, &QPushButton::clicked, this, [this] { model_.showIntroduction(); });
    details->addWidget(templateSummary_);
    details->addWidget(templatePreview_);
    details->addWidget(widgetRow({replace, introduction}));
    section->addWidget(templateDetails_);
    section->addWidget(caption(QStringLiteral("Only the default ring is replaced, and the packs only its items open are "
                                              "removed. App-specific rings and other packs are left alone.")));
    connect(&model_, &GeneralSettingsModel::selectedTemplateChanged, this, &GeneralSettingsView::showTemplate);
    showTemplate();
    return section;
}

void GeneralSettingsView::showTemplate()
{
    showIndex(template_, template_->findData(model_.selectedTemplateID()));
    const std::optional<RingTemplate> chosen = model_.selectedTemplate();
    templateDetails_->setVisible(chosen.has_value());
    if (!chosen)
        return;
    templateSummary_->setText(chosen->summary);
    templatePreview_->setText(GeneralSettingsModel::previewLine(*chosen));
}

SettingsSection *GeneralSettingsView::makeConfigurationFile()
{
    auto *section = new SettingsSection(QStringLiteral("Configuration file"));
    auto *path = new PathLabel(model_.configPath());
    path->setObjectName(QStringLiteral("configPath"));
    auto *reveal = linkButton(QStringLiteral("Reveal"));
    reveal->setObjectName(QStringLiteral("reveal"));
    connect(reveal, &QPushButton::clicked, this, [this] { model_.revealConfig(); });
    auto *location = new QWidget;
    QHBoxLayout *locationRow = rowLayout(8);
    location->setLayout(locationRow);
    locationRow->addWidget(path, 1);
    locationRow->addWidget(reveal);
    section->addRow(QStringLiteral("Location"), location);

    auto *exportButton = button(QStringLiteral("Export…"), QStringLiteral("export"));
    auto *importButton = button(QStringLiteral("Import…"), QStringLiteral("import"));
    auto *resetButton = button(QStringLiteral("Reset to Defaults"), QStringLiteral("reset"));
    followTone(resetButton, QPalette::ButtonText, Tone::danger);
    QPointer<GeneralSettingsView> self(this);
    connect(exportButton, &QPushButton::clicked, this, [self] {
        if (self)
            self->model_.exportConfig(self->window());
    });
    connect(importButton, &QPushButton::clicked, this, [self] {
        if (self)
            self->model_.importConfig(self->window());
    });
    connect(resetButton, &QPushButton::clicked, this, [self] {
        if (self)
            self->model_.confirmReset(self->window());
    });
    section->addWidget(widgetRow({exportButton, importButton, resetButton}));
    importError_ = new StatusLine(Tone::warning, warningSymbol, {});
    importError_->setObjectName(QStringLiteral("importError"));
    section->addWidget(importError_);
    section->addWidget(caption(QStringLiteral("API keys are never written to this file — they live in your desktop's "
                                              "keyring (Secret Service), so an exported config is safe to share.")));
    connect(&model_, &GeneralSettingsModel::importErrorChanged, this, &GeneralSettingsView::showImportError);
    showImportError();
    return section;
}

void GeneralSettingsView::showImportError()
{
    const std::optional<QString> error = model_.importError();
    importError_->setVisible(error.has_value());
    importError_->setText(shownMessage(error.value_or(QString())));
}

} // namespace vima
