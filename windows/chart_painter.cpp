#include "windows/chart_painter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "base/number_text.h"
#include "windows/drawing_helpers.h"

namespace {

int Truncated(double value) { return std::isnan(value) ? 0 : static_cast<int>(std::clamp(value, -1e8, 1e8)); }

// GDI's Rectangle with a 1-pixel pen: outline and fill inside (l, t) .. (r - 1, b - 1); nothing
// when empty. Two fills: thousands of bars draw far faster than as outlined rectangles.
void GdiRectangle(QPainter& painter, int l, int t, int r, int b, const QColor& pen, const QColor& brush) {
    if (r - l < 1 || b - t < 1) return;
    painter.fillRect(QRect(l, t, r - l, b - t), pen);
    if (r - l > 2 && b - t > 2) painter.fillRect(QRect(l + 1, t + 1, r - l - 2, b - t - 2), brush);
}

class ChartPainter {
public:
    ChartPainter(QPainter& painter, QSize client, const ChartPicture& chart)
        : p_(painter), w_(client.width()), h_(client.height()), c_(chart) {}
    void Paint();

private:
    int X(std::size_t k) const { return Truncated((k + 0.5) * plotWidth_ / n_ + left_); }
    int Y(double v) const {
        if (c_.maximum == c_.minimum) return top_;
        return Truncated(bottom_ - (v - c_.minimum) * (bottom_ - top_) / (c_.maximum - c_.minimum));
    }
    void Title();
    void Points();
    void Labels();
    void ValueAxis();

    QPainter& p_;
    int w_, h_;
    const ChartPicture& c_;
    int left_ = 30, right_ = 0, top_ = 0, bottom_ = 0;
    int plotWidth_ = 0;
    std::size_t n_ = 0;
};

void ChartPainter::Title() {
    p_.setFont(PixelFont("Times New Roman", 40, 700));
    const QSize extent = TextExtent(p_, c_.title);
    p_.setPen(QColor(220, 220, 255));
    DrawTextTopLeft(p_, w_ / 2 - extent.width() / 2 + 2, 2, c_.title);
    p_.setPen(QColor(0, 0, 255));
    DrawTextTopLeft(p_, w_ / 2 - extent.width() / 2, 0, c_.title);
    top_ = extent.height() + 5;
}

void ChartPainter::Points() {
    const bool line = c_.style == 1;
    const int bw = std::max(2, Truncated(static_cast<double>(plotWidth_) / n_));
    const int hw = bw / 2;
    bottom_ -= 3;
    if (line) {
        // Segment by segment, each with its own round ends, as a run of line-to calls draws.
        std::vector<QLine> segments;
        segments.reserve(n_);
        QPoint from(X(0), Y(c_.values[0]));
        for (std::size_t k = 1; k < n_; ++k) {
            const QPoint to(X(k), Y(c_.values[k]));
            segments.emplace_back(from, to);
            from = to;
        }
        if (n_ == 1) segments.emplace_back(from, QPoint(right_, from.y()));
        // A 2-pixel pen, centred on the line, ends included.
        p_.setPen(QPen(QColor(128, 128, 192), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p_.drawLines(segments.data(), static_cast<int>(segments.size()));
        return;
    }
    for (std::size_t k = 0; k < n_; ++k) {
        const int x = X(k);
        const int widen = k == 0 ? 2 : 0;
        GdiRectangle(p_, x - hw - widen, Y(c_.values[k]), x + hw + widen, bottom_, QColor(64, 64, 128),
                     QColor(128, 128, 192));
    }
}

void ChartPainter::Labels() {
    const bool vertical = c_.labelDirection == 1;
    p_.setFont(PixelFont("Arial", vertical ? 12 : 15, 200));
    const QFontMetrics metrics = p_.fontMetrics();
    if (!vertical && c_.widestLabel < 0) {
        c_.widestLabel = 0;
        for (const QString& label : c_.labels) c_.widestLabel = std::max(c_.widestLabel, metrics.horizontalAdvance(label));
    }
    const int footprint = vertical ? metrics.height() : c_.widestLabel;
    const int step = ChartLabelStep(footprint, plotWidth_, static_cast<int>(n_));
    p_.setPen(QPen(Qt::black, 1));
    for (std::size_t i = 1; i <= n_; ++i) {
        if (i % step != 0 && i != n_) continue;
        const int x = Truncated((i - 0.5) * plotWidth_ / n_ + left_);
        p_.drawLine(x, bottom_ - 4, x, bottom_ + 4);
        const QString& label = c_.labels[i - 1];
        const int cx = metrics.horizontalAdvance(label);
        const int cy = metrics.height();
        const bool besideAxis = i == n_ && step != 1;
        if (!vertical) {
            DrawTextTopLeft(p_, besideAxis ? right_ + 2 : x - cx / 2, besideAxis ? bottom_ - cy / 2 : bottom_ + 4, label);
            continue;
        }
        // The text runs downward: its cell's top edge faces right.
        p_.save();
        p_.translate(besideAxis ? right_ + 2 + cy : x + cy / 2, besideAxis ? bottom_ - cx / 2 : bottom_ + 6);
        p_.rotate(90);
        DrawTextTopLeft(p_, 0, 0, label);
        p_.restore();
    }
}

void ChartPainter::ValueAxis() {
    p_.setFont(PixelFont("Arial", 15, 200));
    const double step = ChartGridStep(c_.maximum - c_.minimum);
    if (step == 0 || !(c_.maximum >= 0)) return;
    const int height = bottom_ - top_;
    for (double v = 0; v <= c_.maximum; v += step) {
        const int y = c_.maximum == c_.minimum
                          ? top_
                          : bottom_ - Truncated((v - c_.minimum) * height / (c_.maximum - c_.minimum));
        p_.setPen(QPen(Qt::black, 1));
        p_.drawLine(left_ + 4, y, left_ - 4, y);
        const QString text = QString::fromStdString(FormatNumberTrimmed(v));
        const QSize extent = TextExtent(p_, text);
        DrawTextTopLeft(p_, left_ - 4 - extent.width() - 2, y - extent.height() / 2, text);
        if (v > 0) {
            p_.setPen(QPen(QColor(200, 200, 200), 1, Qt::DotLine));
            p_.drawLine(left_ + 4, y, right_, y);
        }
    }
}

void ChartPainter::Paint() {
    p_.fillRect(QRect(0, 0, w_, h_), QColor(245, 245, 245));
    right_ = w_ - 30;
    bottom_ = c_.labelDirection == 1 ? h_ - 60 : h_ - 30;
    plotWidth_ = right_ - left_;
    n_ = c_.values.size();
    Title();
    if (n_ >= 1 && (c_.style == 1 || c_.style == 2)) Points();
    p_.setPen(QPen(Qt::black, 4));
    p_.drawLine(left_, bottom_, right_, bottom_);
    p_.drawLine(left_, bottom_, left_, top_);
    if (n_ >= 1) Labels();
    ValueAxis();
}

}  // namespace

double ChartGridStep(double range) {
    for (int exponent = -9; exponent <= 9; ++exponent) {
        for (double mantissa : {1.0, 2.0, 5.0}) {
            const double step = mantissa * std::pow(10.0, exponent);
            if (range / step <= 10) return step;
        }
    }
    return 0;
}

int ChartLabelStep(int footprint, int plotWidth, int points) {
    if (points < 1 || plotWidth < 1) return 1;
    const double perPoint = static_cast<double>(plotWidth) / points;
    return std::max(1, Truncated(footprint * 1.5 / perPoint));
}

void PaintChart(QPainter& painter, QSize client, const ChartPicture& chart) {
    ChartPainter(painter, client, chart).Paint();
}
