#include "app/Theme.h"

#include "ui/ControlStyle.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

namespace vima {

namespace {

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x2b, 0x2b, 0x2e), base(0x1e, 0x1e, 0x20), text(0xec, 0xec, 0xee);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3d));
    // The shades frames, lines and pressed buttons are drawn with: left to the
    // light palette, they drew light lines on the dark window.
    p.setColor(QPalette::Light, QColor(0x58, 0x58, 0x5c));
    p.setColor(QPalette::Midlight, QColor(0x48, 0x48, 0x4c));
    p.setColor(QPalette::Mid, QColor(0x4e, 0x4e, 0x52));
    p.setColor(QPalette::Dark, QColor(0x1a, 0x1a, 0x1c));
    p.setColor(QPalette::Shadow, QColor(0x0c, 0x0c, 0x0d));
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0x8e, 0x8e, 0x93));
    p.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x40, 0x9c, 0xff));
    p.setColor(QPalette::LinkVisited, QColor(0xbf, 0x8c, 0xff));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x6e, 0x6e, 0x73));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6e, 0x6e, 0x73));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x6e, 0x6e, 0x73));
    p.setColor(QPalette::Disabled, QPalette::Button, QColor(0x32, 0x32, 0x35));
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x4a, 0x4a, 0x4e));
    return p;
}

} // namespace

void applyTheme(AppTheme theme)
{
    // Before the palette: a new style would bring its own.
    ControlStyle::install();
    switch (theme) {
    case AppTheme::system:
        // An empty palette resolves to the platform theme's colours.
        QApplication::setPalette(QPalette());
        break;
    case AppTheme::light:
        QApplication::setPalette(QApplication::style()->standardPalette());
        break;
    case AppTheme::dark:
        QApplication::setPalette(darkPalette());
        break;
    }
}

} // namespace vima
