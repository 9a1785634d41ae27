#pragma once

#include "model/IconSpec.h"
#include "settings/kit/SettingsLooks.h"

#include <QColor>
#include <QWidget>
#include <functional>

namespace vima {

class AppIconCache;

// A slot's icon drawn by IconView on a rounded tile: the item editor's header
// and preview, the rows and header of the per-app action picker.
class IconTile final : public QWidget {
    Q_OBJECT

public:
    struct Look {
        int side = 34;
        double radius = 7;
        double iconSize = 18;
        std::function<QColor()> fill;
        bool bordered = true; // 1 pt separator line inside the edge
        Tone ink = Tone::secondary;
    };

    IconTile(const Look &look, const AppIconCache *appIcons, QWidget *parent = nullptr);

    void setIcon(const IconSpec &icon);
    const IconSpec &icon() const { return icon_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Look look_;
    const AppIconCache *appIcons_;
    IconSpec icon_;
};

} // namespace vima
