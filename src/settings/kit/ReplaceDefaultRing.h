#pragma once

// The confirmation before a starter template replaces the default ring, for
// the General tab and the first-run window alike:
//
//     if (co_await confirmReplaceDefaultRing(context.prompts, window, context.store, chosenTemplate)) ...
//
// The alert warns about the packs that go with the default ring's items.

#include "model/RingTemplate.h"
#include "store/ConfigStore.h"

#include <QCoroTask>
#include <QString>

class QWidget;

namespace vima {

class UiPrompts;

struct ReplaceDefaultRingAlert {
    QString message;
    QString informativeText;
};

ReplaceDefaultRingAlert replaceDefaultRingAlert(const ConfigStore::TemplateReplacement &replacement,
                                                const RingTemplate &ringTemplate);

// Asks; when the user confirms, applies the template (which saves at once).
// Returns whether it did.
QCoro::Task<bool> confirmReplaceDefaultRing(UiPrompts &prompts, QWidget *parent, ConfigStore &store,
                                            RingTemplate ringTemplate);

} // namespace vima
