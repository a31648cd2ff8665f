// The window's own pictures, drawn in code: the neuron, the training picture, the hover balloons
// and the six zoom and stretch buttons. Each is made once and kept.
#pragma once

#include <QImage>

namespace pictures {

// 100 x 100; its white background is transparent.
const QImage& Neuron();
// 100 x 100, the small frame's picture in the training view.
const QImage& Training();
// The hover balloon for a text cx pixels wide: 23, 50, 120 or 180 pixels wide, 26 high.
const QImage& BalloonFor(int textWidth);

enum class Button { kZoomIn, kZoomOut, kXStretchPlus, kXStretchMinus, kYStretchPlus, kYStretchMinus };
// 25 x 25.
QImage ButtonPicture(Button button);

}  // namespace pictures
