#include "windows/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// 8 points at the 96 dots per inch the templates were laid out for.
bool EightPoint(const QFont& font) { return font.pointSize() == 8 || font.pixelSize() == 11; }

}  // namespace

DialogUnits::DialogUnits(const QFont& dialogFont) {
    const QString family = dialogFont.family();
    if ((family == "MS Sans Serif" || family == "MS Shell Dlg") && EightPoint(dialogFont)) return;
    const QFontMetrics metrics(dialogFont);
    const int letters = static_cast<int>(sizeof(kAlphabet) - 1);
    baseX_ = (metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)) / (letters / 2) + 1) / 2;
    baseY_ = metrics.height();
}

QFont DialogFont() {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Arial", "Liberation Sans"});
    font.setPixelSize(11);
    return font;
}
