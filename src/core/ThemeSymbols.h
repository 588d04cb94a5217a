#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace corvane {

// Makes the icon theme usable where the desktop names none (a bare window manager, a virtual
// display, tests): the system's icon folders searched and Adwaita standing in. Once per process.
void settleIconTheme();

// The freedesktop icon names that mean what one of the product's symbol names means, best
// first (monochrome "-symbolic" icons before full-colour ones); empty for a name with no
// counterpart.
QStringList freedesktopIconNames(const QString& symbol);

// The symbol as the icon theme draws it, in `tint`, on a transparent square of `size` logical
// pixels; a null pixmap where the theme has none of its names. Where the desktop names no icon
// theme (a bare window manager, a virtual display, tests), Adwaita stands in when installed.
QPixmap themeSymbolImage(const QString& symbol, const QColor& tint, int size, qreal devicePixelRatio = 1.0);

} // namespace corvane
