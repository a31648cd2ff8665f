#include "shell/dialog_units.h"

#include <QFontMetrics>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

}  // namespace

DialogUnits::DialogUnits(const QFont& dialogFont) {
    const QString family = dialogFont.family();
    if ((family == "MS Sans Serif" || family == "MS Shell Dlg") && dialogFont.pointSize() == 8) return;
    const QFontMetrics metrics(dialogFont);
    const int letters = static_cast<int>(sizeof(kAlphabet) - 1);
    baseX_ = (metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)) / (letters / 2) + 1) / 2;
    baseY_ = metrics.height();
}
