// One-pixel solid lines written straight into a 32-bit image: the structure view draws up to a few
// hundred thousand of them per paint, far more than a general painter draws quickly. Each line is
// stepped along its longer axis from its first point, its last point not drawn, and clipped to the image.
#pragma once

#include <QImage>
#include <QLine>

// false when the image is not a 32-bit RGB image (nothing drawn then).
bool DrawPixelLines(QImage& image, const QLine* lines, int count, QRgb colour);
