#include "windows/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>

namespace pictures {
namespace {

QImage Blank(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage MakeNeuron() {
    QImage image = Blank(100, 100);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(QPointF(38, 34), 62);
    shade.setColorAt(0.0, QColor(255, 255, 235));
    shade.setColorAt(0.45, QColor(255, 206, 96));
    shade.setColorAt(1.0, QColor(196, 112, 24));
    p.setPen(QPen(QColor(110, 60, 10), 4));
    p.setBrush(shade);
    p.drawEllipse(QRectF(4, 4, 92, 92));
    // the sigmoid that the neuron applies
    QPainterPath curve;
    curve.moveTo(24, 70);
    curve.cubicTo(52, 70, 48, 30, 76, 30);
    p.setPen(QPen(QColor(90, 40, 0), 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    return image;
}

QImage MakeTraining() {
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 255), 4));
    p.drawLine(14, 10, 14, 86);
    p.drawLine(14, 86, 92, 86);
    QPainterPath fall;
    fall.moveTo(18, 16);
    fall.cubicTo(30, 70, 48, 74, 90, 78);
    p.setPen(QPen(QColor(255, 170, 170), 6));
    p.drawPath(fall.translated(1, -1));
    p.setPen(QPen(QColor(255, 0, 0), 3));
    p.drawPath(fall);
    p.setPen(QPen(QColor(255, 120, 120), 1, Qt::DotLine));
    p.drawLine(17, 80, 90, 80);
    return image;
}

QImage MakeBalloon(int width) {
    QImage image = Blank(width, 26);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 110, 60), 1.5));
    p.setBrush(QColor(255, 255, 214));
    p.drawRoundedRect(QRectF(1, 1, width - 2, 24), 7, 7);
    return image;
}

void DrawMagnifier(QPainter& p, bool plus) {
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(225, 240, 255));
    p.drawEllipse(QRectF(3, 3, 14, 14));
    p.setPen(QPen(QColor(90, 60, 20), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15.5, 15.5), QPointF(22, 22));
    p.setPen(QPen(QColor(0, 0, 160), 2));
    p.drawLine(QPointF(6.5, 10), QPointF(13.5, 10));
    if (plus) p.drawLine(QPointF(10, 6.5), QPointF(10, 13.5));
}

// A double arrow across the picture, its heads pointing out (plus) or in (minus).
void DrawStretch(QPainter& p, bool horizontal, bool plus) {
    p.setPen(QPen(QColor(180, 0, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(180, 0, 0));
    auto point = [horizontal](double along, double across) {
        return horizontal ? QPointF(along, across) : QPointF(across, along);
    };
    p.drawLine(point(3, 12.5), point(22, 12.5));
    for (double end : {3.0, 22.0}) {
        const double tip = plus ? end : (end < 12 ? 10.0 : 15.0);
        const double back = plus ? (end < 12 ? end + 6 : end - 6) : (end < 12 ? 4.0 : 21.0);
        const std::array<QPointF, 3> head{point(tip, 12.5), point(back, 8.5), point(back, 16.5)};
        p.drawPolygon(head.data(), 3);
    }
    p.setPen(QPen(QColor(60, 60, 60), 1));
    if (horizontal) {
        p.drawLine(QPointF(2.5, 5), QPointF(2.5, 20));
        p.drawLine(QPointF(22.5, 5), QPointF(22.5, 20));
    } else {
        p.drawLine(QPointF(5, 2.5), QPointF(20, 2.5));
        p.drawLine(QPointF(5, 22.5), QPointF(20, 22.5));
    }
}

}  // namespace

const QImage& Neuron() {
    static const QImage image = MakeNeuron();
    return image;
}

const QImage& Training() {
    static const QImage image = MakeTraining();
    return image;
}

const QImage& BalloonFor(int textWidth) {
    static const std::array<QImage, 4> balloons{MakeBalloon(23), MakeBalloon(50), MakeBalloon(120),
                                                MakeBalloon(180)};
    for (const QImage& balloon : balloons) {
        if (balloon.width() > textWidth) return balloon;
    }
    return balloons.back();
}

QImage ButtonPicture(Button button) {
    QImage image = Blank(25, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (button) {
    case Button::kZoomIn: DrawMagnifier(p, true); break;
    case Button::kZoomOut: DrawMagnifier(p, false); break;
    case Button::kXStretchPlus: DrawStretch(p, true, true); break;
    case Button::kXStretchMinus: DrawStretch(p, true, false); break;
    case Button::kYStretchPlus: DrawStretch(p, false, true); break;
    case Button::kYStretchMinus: DrawStretch(p, false, false); break;
    }
    return image;
}

}  // namespace pictures
