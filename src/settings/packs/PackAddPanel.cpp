#include "settings/packs/PackAddPanel.h"

#include "ring/RingText.h"
#include "settings/kit/ChoiceList.h"
#include "settings/kit/FieldText.h"
#include "settings/kit/ItemLooks.h"
#include "settings/kit/MenuLooks.h"
#include "settings/kit/RowButton.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/kit/ShownName.h"
#include "settings/packs/PackAddRowDelegate.h"
#include "settings/packs/PackBuilderModel.h"
#include "store/ConfigStore.h"
#include "ui/SymbolCatalog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vima {

namespace {

constexpr int presetRole = Qt::UserRole + 1;
constexpr int appRole = Qt::UserRole + 2;

// The symbol in a 22-point frame, the text, and for a row that leads to a
// page the "chevron.right" at the end.
RowButton *choiceRow(const QString &symbol, const QString &text, bool navigates = false)
{
    auto *button = new RowButton(text);
    QHBoxLayout *row = button->row();
    row->setContentsMargins(12, 6, 12, 6);
    row->setSpacing(10);
    auto *frame = new QWidget;
    frame->setFixedSize(22, 18);
    auto *centred = new QHBoxLayout(frame);
    centred->setContentsMargins(0, 0, 0, 0);
    centred->addWidget(new SymbolIcon(SymbolCatalog::knows(symbol) ? symbol : QStringLiteral("circle"),
                                      Tone::secondary, 17));
    row->addWidget(frame);
    auto *title = new ToneLabel(Tone::label, text);
    title->setFont(pointFont(13));
    row->addWidget(title, 1);
    if (navigates)
        row->addWidget(new SymbolIcon(QStringLiteral("chevron.right"), Tone::tertiary, 12));
    return button;
}

ChoiceList *scrollingList(int maxHeight, QAbstractItemDelegate *delegate)
{
    auto *list = new ChoiceList;
    list->setMaximumHeight(maxHeight);
    list->setFrameShape(QFrame::NoFrame);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setItemDelegate(delegate);
    list->setMouseTracking(true);
    list->viewport()->setAttribute(Qt::WA_Hover);
    return list;
}

// A row of a list: its title, accessible name and the delegate's look.
QListWidgetItem *listRow(QListWidget *list, const QString &title, const IconSpec &icon, double iconSize,
                         const QString &trailing, const QString &subtitle = {})
{
    const QString shown = RingText::bounded(title);
    auto *row = new QListWidgetItem(shown, list);
    row->setData(Qt::AccessibleTextRole, shown);
    row->setData(PackAddRowDelegate::IconRole, QVariant::fromValue(icon));
    row->setData(PackAddRowDelegate::IconSizeRole, iconSize);
    row->setData(PackAddRowDelegate::TrailingSymbolRole, trailing);
    row->setData(PackAddRowDelegate::SubtitleRole, RingText::bounded(subtitle));
    return row;
}

} // namespace

PackAddPanel::PackAddPanel(SettingsContext &context, PackBuilderModel &model, QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , context_(context)
    , model_(model)
    , pages_(new QStackedWidget)
    , rows_(new PackAddRowDelegate(&context.appIcons, this))
{
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(QStringLiteral("Add action"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 8, 0, 8);
    layout->addWidget(pages_);
    pages_->addWidget(makeRootPage());
    pages_->addWidget(makeLibraryPage());
    pages_->addWidget(makeAppsPage());
}

QWidget *PackAddPanel::makeRootPage()
{
    auto *page = new QWidget;
    page->setFixedWidth(288);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(sectionCaption(QStringLiteral("Create new")));
    const struct {
        const char *symbol;
        const char *text;
        ItemAction::Kind kind;
    } kinds[] = {{"sparkles", "AI on selected text", ItemAction::Kind::ai},
                 {"link", "Open a link or file", ItemAction::Kind::open},
                 {"app", "Open an app", ItemAction::Kind::launchApp},
                 {"terminal", "Run a shell script", ItemAction::Kind::shell}};
    for (const auto &kind : kinds) {
        auto *row = choiceRow(QString::fromLatin1(kind.symbol), QString::fromLatin1(kind.text));
        connect(row, &QAbstractButton::clicked, this, [this, k = kind.kind] { model_.addItemOfKind(k); });
        layout->addWidget(row);
    }
    auto *nested = choiceRow(QStringLiteral("circle.grid.cross"), QStringLiteral("Nested pack"));
    connect(nested, &QAbstractButton::clicked, this, [this] { model_.addNestedPack(); });
    layout->addWidget(nested);
    layout->addWidget(sectionCaption(QStringLiteral("Add ready-made")));
    auto *library = choiceRow(QStringLiteral("square.grid.2x2.fill"), QStringLiteral("Browse the library"), true);
    connect(library, &QAbstractButton::clicked, this, [this] { model_.showLibraryPage(); });
    layout->addWidget(library);
    auto *apps = choiceRow(QStringLiteral("app.badge"), QStringLiteral("An app's shortcuts"), true);
    connect(apps, &QAbstractButton::clicked, this, [this] { model_.showAppsPage(); });
    layout->addWidget(apps);
    savedPacks_ = new QVBoxLayout;
    savedPacks_->setSpacing(2);
    layout->addLayout(savedPacks_);
    layout->addStretch();
    return page;
}

QWidget *PackAddPanel::pageHeader(QLabel **title, const std::function<void()> &back)
{
    auto *header = new QWidget;
    auto *layout = new QHBoxLayout(header);
    layout->setContentsMargins(12, 4, 12, 2);
    layout->setSpacing(8);
    auto *button = new QToolButton;
    button->setAutoRaise(true);
    setSymbolIcon(button, QStringLiteral("chevron.left"), Tone::secondary, 11);
    button->setAccessibleName(QStringLiteral("Back"));
    connect(button, &QAbstractButton::clicked, this, back);
    layout->addWidget(button);
    *title = new ToneLabel(Tone::label);
    QFont font = (*title)->font();
    font.setWeight(QFont::DemiBold);
    (*title)->setFont(font);
    layout->addWidget(*title, 1);
    return header;
}

QVBoxLayout *PackAddPanel::subpageColumn(QWidget *page, QLabel **title, const std::function<void()> &back)
{
    page->setFixedWidth(320);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(pageHeader(title, back));
    return layout;
}

QWidget *PackAddPanel::makeLibraryPage()
{
    auto *page = new QWidget;
    QLabel *title = nullptr;
    QVBoxLayout *layout = subpageColumn(page, &title, [this] { model_.showRootPage(); });
    title->setText(QStringLiteral("Ready-made actions"));
    libSearch_ = searchField(QStringLiteral("packLibrarySearch"), QStringLiteral("Search actions"));
    connect(libSearch_, &QLineEdit::textChanged, &model_, &PackBuilderModel::setLibQuery);
    layout->addWidget(libSearch_);
    library_ = scrollingList(300, rows_);
    library_->setObjectName(QStringLiteral("packLibraryList"));
    library_->setAccessibleName(QStringLiteral("Ready-made actions"));
    connect(library_, &ChoiceList::chosen, this, [this](QListWidgetItem *item) {
        if (const auto preset = ActionPreset::presetWithID(item->data(presetRole).toString()))
            model_.addLibraryPreset(*preset);
    });
    layout->addWidget(library_);
    return page;
}

QWidget *PackAddPanel::makeAppsPage()
{
    auto *page = new QWidget;
    QVBoxLayout *layout = subpageColumn(page, &appsTitle_, [this] {
        if (model_.selectedApp())
            model_.setSelectedApp(std::nullopt);
        else
            model_.showRootPage();
    });
    appSearch_ = searchField(QStringLiteral("packAppSearch"), QStringLiteral("Search apps"));
    connect(appSearch_, &QLineEdit::textChanged, &model_, &PackBuilderModel::setAppQuery);
    layout->addWidget(appSearch_);
    scanning_ = new ToneLabel(Tone::tertiary, QStringLiteral("Scanning applications…"));
    scanning_->setObjectName(QStringLiteral("packAppsNote"));
    scanning_->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(scanning_);
    apps_ = scrollingList(300, rows_);
    apps_->setObjectName(QStringLiteral("packAppList"));
    apps_->setAccessibleName(QStringLiteral("Applications"));
    connect(apps_, &ChoiceList::chosen, this, [this](QListWidgetItem *item) {
        if (!model_.selectedApp()) {
            model_.setSelectedApp(model_.filteredApps().value(item->data(appRole).toInt()));
            return;
        }
        const QList<RingItem> shortcuts = model_.appShortcuts();
        const int row = item->data(appRole).toInt();
        if (row < shortcuts.size())
            model_.addAppShortcut(shortcuts[row]);
    });
    layout->addWidget(apps_);
    return page;
}

void PackAddPanel::refresh()
{
    pages_->setCurrentIndex(int(model_.addPage()));
    switch (model_.addPage()) {
    case PackBuilderModel::AddPage::root: refreshSavedPacks(); break;
    case PackBuilderModel::AddPage::library: refreshLibrary(); break;
    case PackBuilderModel::AddPage::apps: refreshApps(); break;
    }
    adjustSize();
}

void PackAddPanel::refreshSavedPacks()
{
    while (QLayoutItem *item = savedPacks_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QList<SavedGroup> &saved = context_.store.config().savedGroups;
    if (saved.isEmpty())
        return;
    savedPacks_->addWidget(sectionCaption(QStringLiteral("From your saved packs")));
    for (const SavedGroup &group : saved) {
        auto *button = new RowButton(shownName(group.name));
        QHBoxLayout *row = button->row();
        row->setContentsMargins(12, 6, 12, 6);
        row->setSpacing(9);
        savedPackLabel(row, group, &context_.appIcons);
        connect(button, &QAbstractButton::clicked, this, [this, group] { model_.addFromSavedGroup(group); });
        savedPacks_->addWidget(button);
    }
}

void PackAddPanel::refreshLibrary()
{
    showText(libSearch_, model_.libQuery());
    library_->clear();
    const bool full = model_.isFull();
    for (const PackBuilderModel::LibrarySection &section : model_.librarySections()) {
        auto *caption = new QListWidgetItem(title(section.category), library_);
        caption->setData(PackAddRowDelegate::CaptionRole, true);
        caption->setFlags(Qt::NoItemFlags);
        for (const ActionPreset &preset : section.presets) {
            QListWidgetItem *row = listRow(library_, preset.title, preset.icon, 14, QStringLiteral("plus"), preset.summary);
            row->setData(presetRole, preset.id);
            if (full)
                row->setFlags(row->flags() & ~Qt::ItemIsEnabled);
        }
    }
}

void PackAddPanel::refreshApps()
{
    const std::optional<InstalledApp> &app = model_.selectedApp();
    appsTitle_->setText(app ? QStringLiteral("Shortcuts for ") + RingText::bounded(app->name) : QStringLiteral("Pick an app"));
    appSearch_->setVisible(!app);
    showText(appSearch_, model_.appQuery());
    const bool noApps = !app && model_.installedApps().isEmpty();
    scanning_->setVisible(noApps);
    scanning_->setText(model_.isScanning() ? QStringLiteral("Scanning applications…")
                                           : QStringLiteral("No applications found."));
    apps_->setVisible(!noApps);
    apps_->setMaximumHeight(app ? 280 : 300);
    apps_->clear();
    if (app) {
        const bool full = model_.isFull();
        const QList<RingItem> shortcuts = model_.appShortcuts();
        for (int i = 0; i < shortcuts.size(); ++i) {
            QListWidgetItem *row = listRow(apps_, shortcuts[i].title, shortcuts[i].icon, 14, QStringLiteral("plus"));
            row->setData(appRole, i);
            if (full)
                row->setFlags(row->flags() & ~Qt::ItemIsEnabled);
        }
        return;
    }
    const QList<InstalledApp> apps = model_.filteredApps();
    for (int i = 0; i < apps.size(); ++i) {
        QListWidgetItem *row = listRow(apps_, apps[i].name, IconSpec::appIcon(apps[i].bundleID), 16,
                                       QStringLiteral("chevron.right"));
        row->setData(appRole, i);
    }
}

void PackAddPanel::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    model_.closeAddPanel();
}

} // namespace vima
