#pragma once

#include "settings/ai/TextRoute.h"
#include "settings/kit/DisclosureText.h"

#include <QList>
#include <QWidget>

namespace vima {

class AISettingsModel;
class DisclosureRow;
class RouteNotice;

// When the selected text is read and where it may travel: three rows, the
// second saying where the current choice sends it, with a way to stop a
// saved key from taking text off this computer. Placed in a section headed
// by `heading()`.
class AIPrivacyDisclosure final : public QWidget {
    Q_OBJECT

public:
    explicit AIPrivacyDisclosure(AISettingsModel &model, QWidget *parent = nullptr);

    static QString heading();
    static QList<DisclosureText> rows(const TextRoute &route);
    // The controls of the notice under the second row.
    const QList<QWidget *> &focusOrder() const;

private:
    void apply();

    AISettingsModel &model_;
    DisclosureRow *local_ = nullptr;
    RouteNotice *notice_ = nullptr;
};

} // namespace vima
