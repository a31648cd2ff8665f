// Dialog layouts are given in dialog units: a quarter of the dialog font's average character width
// across, an eighth of its height down.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class DialogUnits {
public:
    // The 8-point "MS Sans Serif" and "MS Shell Dlg" (11 pixels) have the base units 6 x 13 whatever
    // fontconfig maps them to; other fonts are measured.
    explicit DialogUnits(const QFont& dialogFont);

    int X(int units) const { return units * baseX_ / 4; }
    int Y(int units) const { return units * baseY_ / 8; }
    QSize Size(const QSize& units) const { return {X(units.width()), Y(units.height())}; }
    QRect Rect(int x, int y, int width, int height) const { return QRect(X(x), Y(y), X(width), Y(height)); }
    QRect Rect(const QRect& units) const { return Rect(units.x(), units.y(), units.width(), units.height()); }

private:
    int baseX_ = 6;
    int baseY_ = 13;
};

// The windows' template font, "MS Sans Serif" 8 point, or its nearest face here at the same 11 pixels.
QFont DialogFont();
