// Dialog templates are laid out in dialog units: the window's font "MS Sans Serif" 8 point has the
// base units 6 x 13, so a unit is 6 / 4 pixels across and 13 / 8 down.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

inline int DialogX(int units) { return units * 6 / 4; }
inline int DialogY(int units) { return units * 13 / 8; }
inline QSize DialogUnitsToPixels(QSize units) { return {DialogX(units.width()), DialogY(units.height())}; }
inline QRect DialogUnitsToPixels(QRect units) {
    return {DialogX(units.x()), DialogY(units.y()), DialogX(units.width()), DialogY(units.height())};
}

// The templates' font, or its nearest face here, at the 8-point size's 11 pixels.
inline QFont DialogFont() {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Arial", "Liberation Sans"});
    font.setPixelSize(11);
    return font;
}
