#include "windows/drawing_helpers.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

#include "windows/pictures.h"

QFont PixelFont(const QString& face, int height, int weight, int width) {
    QFont font(face);
    font.setPixelSize(height > 0 ? height : 1);
    font.setWeight(static_cast<QFont::Weight>(weight > 0 ? weight : 400));
    font.setStyleStrategy(QFont::PreferDefault);
    if (width > 0) {
        const int natural = QFontMetrics(font).averageCharWidth();
        if (natural > 0) font.setStretch(std::clamp(width * 100 / natural, 1, 4000));
    }
    return font;
}

int PointFontPixelHeight(int tenthsOfPoint, double dotsPerInch) {
    const int device = static_cast<int>(tenthsOfPoint * dotsPerInch / 72);
    return static_cast<int>(std::abs(device) / 10.0 + 0.5);
}

QSize TextExtent(const QPainter& painter, const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    return {metrics.horizontalAdvance(text), metrics.height()};
}

void DrawTextTopLeft(QPainter& painter, int x, int y, const QString& text, std::optional<QColor> background) {
    const QFontMetrics metrics = painter.fontMetrics();
    if (background) painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), *background);
    painter.drawText(x, y + metrics.ascent(), text);
}

void DrawBalloonLabel(QPainter& painter, const QRect& client, int x, int y, const QString& text, bool below) {
    painter.save();
    painter.setFont(PixelFont("Tahoma", PointFontPixelHeight(120, painter.device()->logicalDpiY()), 400));
    const QSize extent = TextExtent(painter, text);
    const QImage& picture = pictures::BalloonFor(extent.width());
    const int bw = extent.width() + 10;
    const int bh = extent.height() + 7;
    int bx = std::max(x - extent.width() / 2 - 5, client.left());
    int by = std::max(below ? y - extent.height() : y - 40 - extent.height(), client.top() + 4);
    const int clientRight = client.left() + client.width();
    const int clientBottom = client.top() + client.height();
    if (bx + bw > clientRight - 2) bx = clientRight - bw - 2;
    if (by + bh > clientBottom - 2) by = clientBottom - bh - 2;
    // The ends keep their width and the middle stretches.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int pw = picture.width();
    const int half = pw / 2;
    painter.drawImage(QRect(bx, by - 4, bw, bh), picture);
    painter.drawImage(QRect(bx, by - 4, half, bh), picture, QRect(0, 0, half, picture.height()));
    painter.drawImage(QRect(bx + bw - half, by - 4, half, bh), picture, QRect(half, 0, pw - half, picture.height()));
    painter.setPen(Qt::black);
    DrawTextTopLeft(painter, bx + 5, by, text);
    painter.restore();
}

std::string FormatElapsedTime(int seconds) {
    int days = 0;
    int s = seconds;
    if (s > 86400) {
        days = s / 86400;
        s %= 86400;
    }
    const int hh = static_cast<int>(static_cast<float>(s) / 3600.0f);
    s -= 3600 * hh;
    const int mm = static_cast<int>(static_cast<float>(s) / 60.0f);
    const int ss = s - 60 * mm;
    char text[64];
    if (days == 1) {
        std::snprintf(text, sizeof text, "%d Day,%02d:%02d:%02d", days, hh, mm, ss);
    } else if (days >= 2) {
        std::snprintf(text, sizeof text, "%d Days,%02d:%02d:%02d", days, hh, mm, ss);
    } else {
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", hh, mm, ss);
    }
    return text;
}

bool FileExists(const QString& path) { return ::access(path.toUtf8().constData(), F_OK) == 0; }
