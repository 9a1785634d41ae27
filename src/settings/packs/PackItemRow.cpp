#include "settings/packs/PackItemRow.h"

#include "ring/RingText.h"
#include "settings/kit/FieldText.h"
#include "settings/kit/IconTile.h"
#include "settings/kit/MenuLooks.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/packs/PackBuilderModel.h"
#include "store/AppDisplayName.h"
#include "ui/Palette.h"
#include "ui/SymbolCatalog.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vima {

namespace {

QString kindCaption(ItemAction::Kind kind)
{
    switch (kind) {
    case ItemAction::Kind::launchApp: return QStringLiteral("Open an app");
    case ItemAction::Kind::open: return QStringLiteral("Open a link or file");
    case ItemAction::Kind::shell: return QStringLiteral("Run a shell script");
    case ItemAction::Kind::appleScript: return QStringLiteral("Run AppleScript");
    case ItemAction::Kind::ai: return QStringLiteral("AI on selected text");
    case ItemAction::Kind::openRing: break;
    }
    return QStringLiteral("Open a pack");
}

QString targetText(const ItemAction &action)
{
    if (const auto *open = std::get_if<OpenPayload>(&action.payload))
        return open->target;
    if (const auto *shell = std::get_if<ShellPayload>(&action.payload))
        return shell->script;
    if (const auto *script = std::get_if<AppleScriptPayload>(&action.payload))
        return script->source;
    return {};
}

void setStatus(ToneLabel *label, Tone tone, const QString &text)
{
    label->setTone(tone);
    label->setText(text);
}

} // namespace

PackItemRow::PackItemRow(SettingsContext &context, PackBuilderModel &model, const RingItem &item, QWidget *parent)
    : QWidget(parent), context_(context), model_(model), itemID_(item.id)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 9, 0, 9);
    layout->setSpacing(5);
    auto *main = new QHBoxLayout;
    main->setSpacing(11);
    icon_ = new IconTile({.side = 20, .radius = 0, .iconSize = 15, .fill = [] { return QColor(Qt::transparent); },
                          .bordered = false, .ink = Tone::secondary},
                         &context.appIcons);
    icon_->setFixedSize(20, 20);
    main->addWidget(icon_);
    title_ = new QLineEdit;
    title_->setAccessibleName(QStringLiteral("Title"));
    connect(title_, &QLineEdit::textChanged, this, [this](const QString &text) { model_.setItemTitle(itemID_, text); });
    main->addWidget(title_, 1);
    auto *kind = new ToneLabel(Tone::tertiary, kindCaption(item.action.kind()));
    kind->setFont(captionFont());
    main->addWidget(kind);
    auto *remove = new QToolButton;
    remove->setAutoRaise(true);
    setSymbolIcon(remove, QStringLiteral("minus.circle"), Tone::tertiary);
    remove->setAccessibleName(QStringLiteral("Remove"));
    remove->setToolTip(QStringLiteral("Remove"));
    connect(remove, &QToolButton::clicked, this, [this] { model_.removeItem(itemID_); });
    main->addWidget(remove);
    layout->addLayout(main);

    auto *editor = new QHBoxLayout;
    editor->setContentsMargins(31, 0, 0, 0);
    editor->setSpacing(8);
    const ItemAction::Kind actionKind = item.action.kind();
    if (actionKind == ItemAction::Kind::launchApp) {
        appStatus_ = new ToneLabel(Tone::tertiary);
        appStatus_->setFont(captionFont());
        editor->addWidget(appStatus_);
        auto *choose = linkButton(QStringLiteral("Choose…"));
        connect(choose, &QPushButton::clicked, this, [this] { chooseApp(); });
        editor->addWidget(choose);
        editor->addStretch();
    } else if (actionKind == ItemAction::Kind::open || actionKind == ItemAction::Kind::shell
               || actionKind == ItemAction::Kind::appleScript) {
        target_ = new QLineEdit;
        const QString placeholder = actionKind == ItemAction::Kind::open ? QStringLiteral("URL, file, or folder")
            : actionKind == ItemAction::Kind::shell                      ? QStringLiteral("Shell command")
                                                                         : QStringLiteral("AppleScript");
        target_->setPlaceholderText(placeholder);
        target_->setAccessibleName(placeholder);
        if (actionKind != ItemAction::Kind::open)
            target_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        connect(target_, &QLineEdit::textChanged, this, [this](const QString &text) { model_.setTargetText(itemID_, text); });
        editor->addWidget(target_, 1);
    }
    if (editor->count() > 0)
        layout->addLayout(editor);
    else
        delete editor;
    refresh(item);
}

void PackItemRow::refresh(const RingItem &item)
{
    icon_->setIcon(item.icon);
    showText(title_, item.title);
    if (target_)
        showText(target_, targetText(item.action));
    if (appStatus_) {
        const auto *launch = std::get_if<LaunchAppPayload>(&item.action.payload);
        const QString bundleID = launch ? launch->bundleID.value_or(QString()) : QString();
        if (bundleID.isEmpty())
            setStatus(appStatus_, Tone::warning, QStringLiteral("No app chosen"));
        else
            setStatus(appStatus_, Tone::tertiary, RingText::bounded(appDisplayName(context_.catalog, bundleID).value_or(bundleID)));
    }
}

QCoro::Task<> PackItemRow::chooseApp()
{
    QPointer<PackItemRow> self(this);
    const std::optional<ChosenApplication> app = co_await context_.prompts.chooseApplication(window());
    if (self && app)
        self->model_.chooseApplication(self->itemID_, *app);
}

} // namespace vima
