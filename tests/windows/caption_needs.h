// What a box needs to show its caption whole: the caption in the title bar's bold face, with room
// for the window's icon and its close button.
#pragma once

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStyle>
#include <QWidget>

inline int CaptionNeeds(const QWidget& box, const QString& caption) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(caption) +
           2 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
}
