#include "settings/kit/ReplaceDefaultRing.h"

#include "platform/UiPrompts.h"
#include "settings/kit/ShownName.h"

#include <QPointer>
#include <QStringList>

namespace vima {

ReplaceDefaultRingAlert replaceDefaultRingAlert(const ConfigStore::TemplateReplacement &replacement,
                                                const RingTemplate &ringTemplate)
{
    const qsizetype count = replacement.itemCount;
    const QString items = QStringLiteral("The %1 item%2 currently in your default ring will be replaced")
                              .arg(count)
                              .arg(count == 1 ? QString() : QStringLiteral("s"));
    QString informative;
    if (replacement.removedPacks.isEmpty()) {
        informative = items + QStringLiteral(". Packs and app-specific rings are not affected.");
    } else {
        QStringList names;
        for (const Ring &pack : replacement.removedPacks)
            names.append(shownName(pack.name));
        informative = items + QStringLiteral(", and the packs they open (%1) removed. App-specific rings are not "
                                             "affected.")
                                  .arg(names.join(QStringLiteral(", ")));
    }
    return {QStringLiteral("Replace the default ring with the ") + ringTemplate.name + QStringLiteral(" template?"),
            informative};
}

QCoro::Task<bool> confirmReplaceDefaultRing(UiPrompts &prompts, QWidget *parent, ConfigStore &store,
                                            RingTemplate ringTemplate)
{
    const ReplaceDefaultRingAlert alert = replaceDefaultRingAlert(store.templateReplacement(), ringTemplate);
    QPointer<ConfigStore> alive(&store);
    const bool confirmed =
        co_await prompts.confirm(parent, alert.message, alert.informativeText, QStringLiteral("Replace"));
    if (!confirmed || !alive)
        co_return false;
    alive->applyTemplate(ringTemplate);
    co_return true;
}

} // namespace vima
