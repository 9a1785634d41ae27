#include "settings/ai/AIPrivacyDisclosure.h"

#include "ai/ProviderDisplayName.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/ai/RouteNotice.h"
#include "settings/kit/DisclosureRow.h"

#include <QVBoxLayout>

namespace vima {

namespace {

constexpr qsizetype localRow = 1;

// "Never leaves" is said only while it is true.
QString localDetail(const TextRoute &route)
{
    const QString noTelemetry = QStringLiteral(" Tavelon also ships with no analytics or telemetry of any kind.");
    const QString local = QStringLiteral("The default, a local Ollama server, runs on this computer");
    if (route.staysLocal())
        return local + QStringLiteral(" — your text never leaves it.") + noTelemetry;
    QString detail = local + QLatin1Char('.');
    if (route.chosenIsCloud())
        detail = local + QStringLiteral(", but you chose ") + displayName(route.chosen)
                 + (route.instead.isEmpty() ? QStringLiteral(", so your text goes there.") : QStringLiteral("."));
    const QString elsewhere = route.notice();
    if (!elsewhere.isEmpty())
        detail += QLatin1Char(' ') + elsewhere;
    return detail + noTelemetry;
}

} // namespace

AIPrivacyDisclosure::AIPrivacyDisclosure(AISettingsModel &model, QWidget *parent)
    : QWidget(parent), model_(model)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const QList<DisclosureText> texts = rows(model_.route());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        auto *row = new DisclosureRow(texts[i], this);
        layout->addWidget(row);
        if (i != localRow)
            continue;
        local_ = row;
        // Beneath the detail, past the row's symbol column.
        notice_ = new RouteNotice(model_, false, this);
        notice_->setContentsMargins(30, 0, 0, 4);
        layout->addWidget(notice_);
    }
    connect(&model_, &AISettingsModel::changed, this, &AIPrivacyDisclosure::apply);
}

QString AIPrivacyDisclosure::heading()
{
    return QStringLiteral("Where your text goes");
}

QList<DisclosureText> AIPrivacyDisclosure::rows(const TextRoute &route)
{
    return {
        {QStringLiteral("lock.shield"), QStringLiteral("Read only on demand"),
         QStringLiteral("Tavelon reads a selection at the moment you activate an action, never in the background, "
                        "and stores no history of what you select.")},
        {QStringLiteral("desktopcomputer"), QStringLiteral("Local by default"), localDetail(route)},
        {QStringLiteral("network"), QStringLiteral("Cloud only when you choose it"),
         QStringLiteral("Text goes to Anthropic or OpenAI only when you chose one of them, or for an action "
                        "marked “Needs a strong model” while a cloud key is saved. Fallback never moves text from "
                        "a local provider to the cloud.")},
    };
}

const QList<QWidget *> &AIPrivacyDisclosure::focusOrder() const
{
    return notice_->focusOrder();
}

void AIPrivacyDisclosure::apply()
{
    local_->setDetail(rows(model_.route()).at(localRow).detail);
}

} // namespace vima
