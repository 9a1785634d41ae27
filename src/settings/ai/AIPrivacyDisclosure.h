#pragma once

#include "settings/kit/DisclosureText.h"

#include <QList>
#include <QWidget>

namespace vima {

// When the selected text is read and where it may travel: three fixed rows,
// whichever provider is chosen. Placed in a section headed by `heading()`.
class AIPrivacyDisclosure final : public QWidget {
    Q_OBJECT

public:
    explicit AIPrivacyDisclosure(QWidget *parent = nullptr);

    static QString heading();
    static QList<DisclosureText> rows();
};

} // namespace vima
