#include "settings/items/ItemKindSection.h"

#include "settings/items/ItemEditorModel.h"
#include "settings/kit/ElidedLabel.h"
#include "settings/kit/FieldText.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/kit/ShownName.h"
#include "ui/FollowPalette.h"
#include "ui/Palette.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vima {
namespace {

template<typename Payload>
const Payload &payloadOf(const ItemEditorModel &model)
{
    return std::get<Payload>(model.item().action.payload);
}

} // namespace

ItemKindSection::ItemKindSection(ItemEditorModel &model, bool offersTurnIntoPack, QWidget *parent)
    : QWidget(parent), model_(model), kind_(model.kind()), form_(new QFormLayout(this))
{
    form_->setContentsMargins(0, 0, 0, 0);
    form_->setVerticalSpacing(10);
    form_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    switch (kind_) {
    case ItemAction::Kind::openRing:
        buildPack();
        break;
    case ItemAction::Kind::launchApp:
        buildLaunchApp(offersTurnIntoPack);
        break;
    case ItemAction::Kind::open:
        buildOpen();
        break;
    case ItemAction::Kind::shell:
        buildShell();
        break;
    case ItemAction::Kind::appleScript:
        buildAppleScript();
        break;
    case ItemAction::Kind::ai:
        buildAI();
        break;
    }
    refresh();
}

QLineEdit *ItemKindSection::addLineRow(const QString &label, const QString &placeholder, int maxWidth,
                                       void (ItemEditorModel::*store)(const QString &))
{
    auto *field = new QLineEdit;
    field->setPlaceholderText(placeholder);
    field->setMaximumWidth(maxWidth);
    connect(field, &QLineEdit::textChanged, &model_, store);
    form_->addRow(fieldLabel(label, field), field);
    return field;
}

QPlainTextEdit *ItemKindSection::addEditor(const QString &heading, int minimumHeight, bool monospaced,
                                           void (ItemEditorModel::*store)(const QString &))
{
    auto *title = new ToneLabel(Tone::label, heading);
    QFont font = QGuiApplication::font();
    font.setWeight(QFont::Medium);
    title->setFont(font);
    auto *editor = new QPlainTextEdit;
    editor->setFont(monospaced ? monoFont(12) : pointFont(12));
    editor->setMinimumHeight(minimumHeight);
    editor->setTabChangesFocus(true);
    editor->setFrameShape(QFrame::NoFrame);
    followPalette(editor, [editor] {
        editor->setStyleSheet(QStringLiteral("QPlainTextEdit { border: 1px solid %1; }").arg(Palette::grid().name(QColor::HexArgb)));
    });
    pairLabel(title, editor);
    connect(editor, &QPlainTextEdit::textChanged, &model_,
            [model = &model_, store, editor] { (model->*store)(editor->toPlainText()); });
    form_->addRow(title);
    form_->addRow(editor);
    return editor;
}

QCheckBox *ItemKindSection::addToggle(const QString &text, void (ItemEditorModel::*store)(bool))
{
    auto *toggle = new QCheckBox(text);
    connect(toggle, &QCheckBox::toggled, &model_, store);
    form_->addRow(toggle);
    return toggle;
}

QLabel *ItemKindSection::addCaption(const QString &text)
{
    QLabel *label = caption(text);
    form_->addRow(label);
    return label;
}

void ItemKindSection::buildPack()
{
    packName_ = new ElidedLabel(Tone::label, Qt::ElideRight);
    // Its whole name where the row has room, beside the count and the link.
    packName_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    QFont medium = packName_->font();
    medium.setWeight(QFont::Medium);
    packName_->setFont(medium);
    packCount_ = caption(QString());
    packCount_->setWordWrap(false);
    QPushButton *edit = linkButton(QStringLiteral("Edit Its Items"));
    connect(edit, &QPushButton::clicked, &model_, &ItemEditorModel::editSubRing);
    packFound_ = widgetRow({packName_, packCount_, edit}, 8);
    packMissing_ = new StatusLine(Tone::warning, QStringLiteral("exclamationmark.triangle.fill"),
                                  QStringLiteral("This pack no longer exists."));
    auto *opens = new QWidget;
    auto *opensColumn = new QVBoxLayout(opens);
    opensColumn->setContentsMargins(0, 0, 0, 0);
    opensColumn->addWidget(packFound_);
    opensColumn->addWidget(packMissing_);
    form_->addRow(QStringLiteral("Opens"), opens);

    auto *save = new QPushButton(QStringLiteral("Save as Pack"));
    connect(save, &QPushButton::clicked, &model_, &ItemEditorModel::saveAsPack);
    saved_ = new StatusLine(Tone::secondary, QStringLiteral("checkmark.circle.fill"),
                            QStringLiteral("Saved — insert it from any empty slot"));
    saveLine_ = widgetRow({save, saved_}, 10);
    auto *opacity = new QGraphicsOpacityEffect(saved_);
    opacity->setOpacity(0);
    saved_->setGraphicsEffect(opacity);
    saved_->hide();
    savedFade_ = new QPropertyAnimation(opacity, "opacity", this);
    savedFade_->setDuration(200);
    savedFade_->setEndValue(0.0);
    connect(savedFade_, &QPropertyAnimation::finished, this, [this] {
        if (savedFade_->endValue().toDouble() == 0.0)
            saved_->hide();
    });
    form_->addRow(saveLine_);

    packTarget_ = new QComboBox;
    packTarget_->setMaximumWidth(220);
    connect(packTarget_, &QComboBox::currentIndexChanged, &model_,
            [this](int index) { model_.setPackTarget(packTarget_->itemData(index).toUuid()); });
    targetLabel_ = fieldLabel(QStringLiteral("Target"), packTarget_);
    form_->addRow(targetLabel_, packTarget_);
    addCaption(QStringLiteral("Hovering this slot for a moment opens the nested ring under the same cursor, so "
                              "you can keep holding the hotkey and sweep straight into it. The centre of a "
                              "nested ring goes back one level instead of cancelling."));
}

void ItemKindSection::buildLaunchApp(bool offersTurnIntoPack)
{
    bundleID_ = new QLineEdit;
    bundleID_->setPlaceholderText(QStringLiteral("org.mozilla.firefox"));
    bundleID_->setMaximumWidth(260);
    connect(bundleID_, &QLineEdit::textChanged, &model_, &ItemEditorModel::setLaunchBundleID);
    auto *choose = new QPushButton(QStringLiteral("Choose App…"));
    connect(choose, &QPushButton::clicked, &model_, [this] { model_.chooseAppForLaunch(); });
    form_->addRow(fieldLabel(QStringLiteral("Desktop ID"), bundleID_), widgetRow({bundleID_, choose}, 6));
    path_ = addLineRow(QStringLiteral("Path (fallback)"), QStringLiteral("/usr/share/applications/firefox.desktop"), 360,
                       &ItemEditorModel::setLaunchPath);
    addCaption(QStringLiteral("The desktop ID is preferred — it keeps working if its desktop file moves."));
    if (!offersTurnIntoPack)
        return;
    auto *divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    form_->addRow(divider);
    turnIntoPack_ = new QPushButton(QStringLiteral("Turn into a Pack…"));
    turnIntoPack_->setToolTip(QStringLiteral(
        "Replace this slot with a nested ring of this app's actions, keeping a way to just open the app."));
    connect(turnIntoPack_, &QPushButton::clicked, &model_, &ItemEditorModel::turnIntoSubRing);
    form_->addRow(widgetRow({turnIntoPack_}, 0));
}

void ItemKindSection::buildOpen()
{
    target_ = addLineRow(QStringLiteral("Target"), QStringLiteral("https://example.com or ~/Documents"), 380,
                         &ItemEditorModel::setOpenTarget);
    addCaption(QStringLiteral("A URL with a scheme, or a path starting with / or ~. Folders open in the file manager."));
}

void ItemKindSection::buildShell()
{
    shell_ = addLineRow(QStringLiteral("Shell"), QStringLiteral("/bin/zsh"), 200, &ItemEditorModel::setShell);
    editor_ = addEditor(QStringLiteral("Script"), 110, true, &ItemEditorModel::setScript);
    showOutput_ = addToggle(QStringLiteral("Show output in a panel"), &ItemEditorModel::setShellShowsOutput);
    addCaption(QStringLiteral("Runs as a login shell, so your PATH from the shell's login profile is available."));
}

void ItemKindSection::buildAppleScript()
{
    editor_ = addEditor(QStringLiteral("AppleScript"), 130, true, &ItemEditorModel::setAppleScriptSource);
    showOutput_ = addToggle(QStringLiteral("Show result in a panel"), &ItemEditorModel::setAppleScriptShowsOutput);
    note_ = addCaption({});
}

void ItemKindSection::buildAI()
{
    editor_ = addEditor(QStringLiteral("System prompt"), 130, false, &ItemEditorModel::setSystemPrompt);
    addCaption(QStringLiteral("Your selection is sent as the user message. Use {{language}} anywhere in the "
                              "prompt to insert the target language below."));
    result_ = new QComboBox;
    result_->addItems({QStringLiteral("Replace selection"), QStringLiteral("Show result panel")});
    result_->setMaximumWidth(220);
    connect(result_, &QComboBox::currentIndexChanged, &model_,
            [this](int index) { model_.setResultHandling(static_cast<ResultHandling>(index)); });
    form_->addRow(fieldLabel(QStringLiteral("Result"), result_), result_);
    language_ = addLineRow(QStringLiteral("Target language"), QString(), 200, &ItemEditorModel::setTargetLanguage);
    strongModel_ = addToggle(QStringLiteral("Needs a strong model"), &ItemEditorModel::setNeedsStrongModel);
    addCaption(QStringLiteral("Send this action to your cloud provider first when an API key is saved. Leave off "
                              "for text tidy-ups, which a local model handles well. Without a saved key the action "
                              "runs on the provider chosen on the AI tab."));
    modelOverride_ = addLineRow(QStringLiteral("Model override"), QStringLiteral("Use the global model"), 260,
                                &ItemEditorModel::setModelOverride);
    addCaption(QStringLiteral("Leave the override blank to use the model set on the AI tab. A cheap, fast model "
                              "is usually right for Rewrite; a stronger one for Explain."));
}

void ItemKindSection::refresh()
{
    if (model_.kind() != kind_)
        return;
    switch (kind_) {
    case ItemAction::Kind::openRing:
        refreshPack();
        return;
    case ItemAction::Kind::launchApp: {
        const auto &launch = payloadOf<LaunchAppPayload>(model_);
        showText(bundleID_, launch.bundleID.value_or(QString()));
        showText(path_, launch.path.value_or(QString()));
        if (turnIntoPack_)
            turnIntoPack_->setEnabled(model_.canTurnIntoPack());
        return;
    }
    case ItemAction::Kind::open:
        showText(target_, payloadOf<OpenPayload>(model_).target);
        return;
    case ItemAction::Kind::shell: {
        const auto &shell = payloadOf<ShellPayload>(model_);
        showText(shell_, shell.shell);
        showText(editor_, shell.script);
        showChecked(showOutput_, shell.showOutput);
        return;
    }
    case ItemAction::Kind::appleScript: {
        const auto &script = payloadOf<AppleScriptPayload>(model_);
        showText(editor_, script.source);
        showChecked(showOutput_, script.showOutput);
        note_->setText(model_.appleScriptNote());
        return;
    }
    case ItemAction::Kind::ai: {
        const auto &ai = payloadOf<AIPayload>(model_);
        showText(editor_, ai.systemPrompt);
        showIndex(result_, static_cast<int>(ai.resultHandling));
        showText(language_, ai.targetLanguage.value_or(QString()));
        language_->setPlaceholderText(model_.defaultLanguage());
        showChecked(strongModel_, ai.needsStrongModel);
        showText(modelOverride_, ai.modelOverride.value_or(QString()));
        return;
    }
    }
}

void ItemKindSection::refreshPack()
{
    const ItemEditorModel::PackInfo info = model_.packInfo();
    packFound_->setVisible(info.exists);
    packMissing_->setVisible(!info.exists);
    if (packName_->fullText() != info.name)
        packName_->setFullText(info.name);
    packCount_->setText(info.itemCount);
    saveLine_->setVisible(info.exists);
    fadeSavedConfirmation(model_.didSaveTemplate());
    const bool anyPack = !model_.subRings().isEmpty();
    targetLabel_->setVisible(anyPack);
    packTarget_->setVisible(anyPack);
    refreshPackTargets();
}

void ItemKindSection::fadeSavedConfirmation(bool shown)
{
    auto *opacity = static_cast<QGraphicsOpacityEffect *>(saved_->graphicsEffect());
    const double target = shown ? 1.0 : 0.0;
    if (savedFade_->endValue().toDouble() == target && saved_->isVisibleTo(this) == shown)
        return;
    if (shown)
        saved_->show();
    savedFade_->stop();
    savedFade_->setStartValue(opacity->opacity());
    savedFade_->setEndValue(target);
    savedFade_->start();
}

void ItemKindSection::refreshPackTargets()
{
    QStringList names;
    for (const Ring &ring : model_.subRings())
        names << shownName(ring.name);
    const QSignalBlocker blocker(packTarget_);
    bool same = packTarget_->count() == names.size();
    for (int i = 0; same && i < names.size(); ++i)
        same = packTarget_->itemText(i) == names.at(i)
            && packTarget_->itemData(i).toUuid() == model_.subRings().at(i).id;
    if (!same) {
        packTarget_->clear();
        for (int i = 0; i < names.size(); ++i)
            packTarget_->addItem(names.at(i), model_.subRings().at(i).id);
    }
    packTarget_->setCurrentIndex(packTarget_->findData(payloadOf<OpenRingPayload>(model_).ringID));
}

} // namespace vima
