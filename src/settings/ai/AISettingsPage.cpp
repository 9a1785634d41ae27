#include "settings/ai/AISettingsPage.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "settings/ai/AIAdvancedForm.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/ai/AISetupModel.h"
#include "settings/ai/AISetupView.h"
#include "settings/kit/SegmentedControl.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SettingsLooks.h"

#include <QStackedWidget>
#include <QVBoxLayout>

namespace vima {

AISettingsPage::AISettingsPage(SettingsContext &context, QWidget *parent)
    : QWidget(parent)
    , model_(new AISettingsModel(context.store, context.llm, context.keychain, context.permissions,
                                 context.settings, this))
    , setupModel_(new AISetupModel(context.store, context.llm, context.permissions, this))
    , mode_(new SegmentedControl({QStringLiteral("Simple"), QStringLiteral("Advanced")}))
    , views_(new QStackedWidget)
    , advanced_(new AIAdvancedForm(*model_, context.store))
{
    mode_->setAccessibleName(QStringLiteral("Mode"));
    mode_->setMaximumWidth(260);
    auto *setup = new AISetupView(*setupModel_, *model_);
    views_->addWidget(setup);
    views_->addWidget(advanced_);

    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(20, 22, 20, 20);
    column->setSpacing(0);
    column->addWidget(settingsPageHeader(QStringLiteral("Intelligence"),
                                         QStringLiteral("Which model runs your AI actions, and how requests are "
                                                        "handled.")));
    column->addSpacing(10 + 12);
    column->addWidget(mode_, 0, Qt::AlignHCenter);
    column->addSpacing(14);
    column->addWidget(views_);
    column->addStretch();

    setScrollingPage(this, content);

    connect(mode_, &SegmentedControl::currentIndexChanged, model_, [this](int index) {
        model_->setMode(index == 1 ? AISettingsModel::Mode::advanced : AISettingsModel::Mode::simple);
    });
    connect(setup, &AISetupView::showAdvanced, model_, [this] { model_->setMode(AISettingsModel::Mode::advanced); });
    // As the General tab's warning does: the settings window switches tabs.
    const auto openPermissions = [&notifications = context.notifications] {
        notifications.post(notifications::openSettings, QStringLiteral("permissions"));
    };
    connect(setup, &AISetupView::openPermissions, this, openPermissions);
    connect(advanced_, &AIAdvancedForm::openPermissions, this, openPermissions);
    connect(model_, &AISettingsModel::modeChanged, this, &AISettingsPage::showMode);
    // A key saved or removed here changes what the simple view says at once.
    connect(model_, &AISettingsModel::changed, setupModel_, &AISetupModel::refresh);
    showMode();
}

AISettingsPage::~AISettingsPage() = default;

void AISettingsPage::showMode()
{
    const int index = model_->mode() == AISettingsModel::Mode::advanced ? 1 : 0;
    mode_->setCurrentIndex(index);
    views_->setCurrentIndex(index);
    // The stack takes the height of the view shown, not of the taller one.
    for (int i = 0; i < views_->count(); ++i)
        views_->widget(i)->setSizePolicy(QSizePolicy::Preferred, i == index ? QSizePolicy::Preferred
                                                                               : QSizePolicy::Ignored);
}

void AISettingsPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    model_->shown();
}

} // namespace vima
