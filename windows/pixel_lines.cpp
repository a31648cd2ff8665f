#include "windows/pixel_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// The pixel at step i lies at major m0 + sm * i and minor n0 + sn * round(i * dMinor / steps).
void DrawLine(QImage& image, const QLine& line, QRgb colour) {
    const int dx = line.x2() - line.x1();
    const int dy = line.y2() - line.y1();
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const long long steps = xMajor ? std::abs(dx) : std::abs(dy);
    if (steps == 0) return;
    const long long minorDelta = xMajor ? std::abs(dy) : std::abs(dx);
    const int majorStart = xMajor ? line.x1() : line.y1();
    const int minorStart = xMajor ? line.y1() : line.x1();
    const int majorSign = (xMajor ? dx : dy) >= 0 ? 1 : -1;
    const int minorSign = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const int majorLimit = xMajor ? image.width() : image.height();
    const int minorLimit = xMajor ? image.height() : image.width();

    // The steps whose major coordinate lies inside, widened by one for rounding; checked per pixel.
    auto stepOf = [&](double major) { return (major - majorStart) * majorSign; };
    double first = std::min(stepOf(-1), stepOf(majorLimit));
    double last = std::max(stepOf(-1), stepOf(majorLimit));
    if (minorDelta > 0) {
        auto minorStep = [&](double minor) { return (minor - minorStart) * minorSign * steps / minorDelta; };
        first = std::max(first, std::min(minorStep(-1), minorStep(minorLimit)) - 1);
        last = std::min(last, std::max(minorStep(-1), minorStep(minorLimit)) + 1);
    } else if (minorStart < 0 || minorStart >= minorLimit) {
        return;
    }
    const long long begin = std::max(0LL, static_cast<long long>(std::floor(first)));
    const long long end = std::min(steps, static_cast<long long>(std::ceil(last)) + 1);
    if (begin >= end) return;

    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const long long twoSteps = 2 * steps;
    long long numerator = 2 * begin * minorDelta + steps;
    long long offset = numerator / twoSteps;
    long long remainder = numerator % twoSteps;
    for (long long i = begin; i < end; ++i) {
        const long long major = majorStart + majorSign * i;
        const long long minor = minorStart + minorSign * offset;
        if (major >= 0 && major < majorLimit && minor >= 0 && minor < minorLimit) {
            const long long x = xMajor ? major : minor;
            const long long y = xMajor ? minor : major;
            reinterpret_cast<QRgb*>(bits + y * stride)[x] = colour;
        }
        remainder += 2 * minorDelta;
        if (remainder >= twoSteps) {
            remainder -= twoSteps;
            ++offset;
        }
    }
}

}  // namespace

bool DrawPixelLines(QImage& image, const QLine* lines, int count, QRgb colour) {
    const QImage::Format format = image.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied) {
        return false;
    }
    for (int i = 0; i < count; ++i) DrawLine(image, lines[i], colour);
    return true;
}
