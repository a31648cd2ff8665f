// Dialog layouts are given in dialog units: a quarter of the dialog font's average character
// width across, an eighth of its height down.
#pragma once

#include <QFont>
#include <QRect>

class DialogUnits {
public:
    // The 8 point "MS Sans Serif" and "MS Shell Dlg" fonts have the base units 6 x 13 whatever
    // fontconfig maps them to; other fonts are measured.
    explicit DialogUnits(const QFont& dialogFont);

    int X(int units) const { return units * baseX_ / 4; }
    int Y(int units) const { return units * baseY_ / 8; }
    QRect Rect(int x, int y, int width, int height) const { return QRect(X(x), Y(y), X(width), Y(height)); }

private:
    int baseX_ = 6;
    int baseY_ = 13;
};
