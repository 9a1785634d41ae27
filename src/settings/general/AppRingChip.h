#pragma once

#include "model/IconSpec.h"

#include <QWidget>

namespace vima {

class AppIconCache;

// An app ring at a glance: its application's icon and its name. Not clickable.
class AppRingChip final : public QWidget {
    Q_OBJECT

public:
    AppRingChip(const QString &bundleID, const QString &name, const AppIconCache &icons, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    IconSpec icon_;
    const AppIconCache &icons_;
};

} // namespace vima
