#include "base/dyna_array.h"
#include "windows/training_painter.h"

#include <QPainter>
#include <QPoint>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "base/number_text.h"
#include "windows/drawing_helpers.h"

namespace {

constexpr double kLogTicks[33] = {
    1e-7, 2.5e-7, 5e-7, 7.5e-7, 1e-6, 2.5e-6, 5e-6, 7.5e-6, 1e-5, 2.5e-5, 5e-5, 7.5e-5, 1e-4, 2.5e-4, 5e-4, 7.5e-4, 1e-3,
    2.5e-3, 5e-3, 7.5e-3, 1e-2, 2.5e-2, 5e-2, 7.5e-2, 0.1, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 1.75, 2.0};

int Truncated(double value) { return static_cast<int>(std::clamp(value, -1e8, 1e8)); }

QString Printf(const char* format, double value) {
    char text[128];
    std::snprintf(text, sizeof text, format, value);
    return QString::fromLatin1(text);
}

// A 1-pixel polyline of many points with several in one pixel column: per column only the first,
// the lowest, the highest and the last point are kept, in their order, which covers the same pixels.
std::vector<QPoint> ReduceColumns(const std::vector<QPoint>& points) {
    std::vector<QPoint> out;
    out.reserve(std::min<std::size_t>(points.size(), 8192));
    std::size_t start = 0;
    while (start < points.size()) {
        std::size_t end = start;
        std::size_t low = start, high = start;
        while (end < points.size() && points[end].x() == points[start].x()) {
            if (points[end].y() < points[low].y()) low = end;
            if (points[end].y() > points[high].y()) high = end;
            ++end;
        }
        const std::size_t keep[4] = {start, std::min(low, high), std::max(low, high), end - 1};
        std::size_t previous = keep[0];
        out.push_back(points[keep[0]]);
        for (std::size_t k : keep) {
            if (k == previous) continue;
            out.push_back(points[k]);
            previous = k;
        }
        start = end;
    }
    return out;
}

// The points of a curve's buckets from index `from` on (indices below `end` only): each bucket's
// first value, its extremes in their order, and its last value, at the columns x gives their
// indices; reduced per pixel column.
template <typename X, typename Y>
std::vector<QPoint> BucketPoints(const CurveSource& curve, long long from, long long end, X x, Y y) {
    std::vector<QPoint> points;
    if (from == 0) points.emplace_back(x(0), y(curve.At(0)));
    const long long size = curve.BucketSize();
    for (long long j = 0; j < curve.BucketCount(); ++j) {
        const long long first = 1 + j * size;
        if (first >= end) break;
        const long long last = std::min<long long>(first + size, curve.Count()) - 1;
        const CurveBucket b = curve.Bucket(j);
        points.emplace_back(x(first), y(b.first));
        points.emplace_back(x(first), y(b.lowFirst ? b.low : b.high));
        points.emplace_back(x(first), y(b.lowFirst ? b.high : b.low));
        points.emplace_back(x(last), y(b.last));
    }
    return ReduceColumns(points);
}

class TrainingPainter {
public:
    TrainingPainter(QPainter& painter, QSize frame, const TrainingScene& scene)
        : p_(painter), frame_(frame), s_(scene), box_(frame),
          scale_(Bounds().first, Bounds().second, SmallestPositive(), box_) {}
    void Paint();

private:
    std::pair<double, double> Bounds() const;
    double SmallestPositive() const;
    void RmsPoints();
    std::vector<QPoint> LcPoints() const;
    std::vector<QPoint> PerformancePoints() const;
    void Axes();
    void EpochTicks();
    void GoalLabel();
    void RmsCurve();
    void PerformanceCurve(const std::vector<QPoint>& points);
    void RmsValueAndTicks();
    int PerformanceTitle();
    void StormLabel(int below);

    QPainter& p_;
    QSize frame_;
    const TrainingScene& s_;
    PlotBox box_;
    LogScale scale_;
    std::vector<QPoint> rmsPoints_;
};

std::pair<double, double> TrainingPainter::Bounds() const {
    if (s_.performanceKind == 0) {
        return {std::min(s_.goalError, s_.performanceMinimum), std::max(s_.rmsMaximum, s_.performanceMaximum)};
    }
    return {s_.goalError, s_.rmsMaximum};
}

double TrainingPainter::SmallestPositive() const {
    double smallest = s_.rmsMinimumPositive;
    if (s_.performanceKind == 0 && s_.performanceMinimum > 0 && s_.performance->Count() > 0 &&
        (smallest <= 0 || s_.performanceMinimum < smallest)) {
        smallest = s_.performanceMinimum;
    }
    return smallest;
}

void TrainingPainter::RmsPoints() { rmsPoints_ = ThinRmsCurve(*s_.rms, box_, scale_, s_.showStorms); }

std::vector<QPoint> TrainingPainter::LcPoints() const {
    const long long n = s_.rms->Count();
    const long long count = std::min<long long>(n, s_.lc->Count());
    const auto x = [&](long long i) { return static_cast<int>(i * box_.Width() / n + box_.left + 5); };
    const auto y = [&](double lc) {
        return Truncated(box_.bottom - lc * box_.Height() / s_.learningConstantSetting) - 5;
    };
    if (!s_.lc->Detailed()) return BucketPoints(*s_.lc, 0, count, x, y);
    std::vector<QPoint> points;
    points.reserve(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i) points.emplace_back(x(i), y(s_.lc->At(i)));
    return ReduceColumns(points);
}

std::vector<QPoint> TrainingPainter::PerformancePoints() const {
    const CurveSource& perf = *s_.performance;
    const long long q = perf.Count();
    std::vector<QPoint> points;
    if (!s_.performanceOn || q < 2 || (s_.rmsMaximum == s_.goalError && s_.performanceKind == 0)) return points;
    const auto x = [&](long long i) { return static_cast<int>(i * box_.Width() / (q - 1) + box_.left + 5); };
    const auto y = [&](double value) {
        return s_.performanceKind == 0 ? scale_(value) : Truncated(box_.bottom - box_.Height() * value) - 5;
    };
    if (!perf.Detailed()) return BucketPoints(perf, 0, q, x, y);
    for (long long i = 0; i < q; ++i) points.emplace_back(x(i), y(perf.At(i)));
    return points;
}

void TrainingPainter::Axes() {
    p_.setPen(QPen(QColor(0, 0, 255), 3));
    p_.drawLine(box_.left, box_.bottom, box_.left, box_.top);
    p_.drawLine(box_.left, box_.bottom, box_.right, box_.bottom);
}

void TrainingPainter::EpochTicks() {
    const long long n = s_.rms->Count();
    p_.setFont(PixelFont("Arial", 20, 200));
    p_.setPen(Qt::black);
    char label[32];
    std::snprintf(label, sizeof label, "%dk", static_cast<int>(n / 1000.0));
    const int interval = EpochLabelInterval(TextExtent(p_, QString::fromLatin1(label)).width(), box_.Width(), n);
    for (long long c = 1; 1000 * c < n; ++c) {
        if (c % interval != 0) continue;
        const int x = static_cast<int>(1000 * c * box_.Width() / n + box_.left);
        p_.drawLine(x, box_.bottom - 4, x, box_.bottom + 4);
        const QString text = Printf("%.0fk", static_cast<float>(c));
        DrawTextTopLeft(p_, x - TextExtent(p_, text).width() / 2, box_.bottom + 4, text);
    }
}

void TrainingPainter::GoalLabel() {
    p_.setPen(Qt::black);
    p_.setFont(PixelFont("Times New Roman", 20, 400));
    const QSize e = TextExtent(p_, "E");
    DrawTextTopLeft(p_, box_.left - e.width() - 25, box_.bottom - e.height() + 6, "E");
    p_.setFont(PixelFont("Times New Roman", 15, 400));
    const QSize sub = TextExtent(p_, "max");
    DrawTextTopLeft(p_, (box_.left - e.width()) - sub.width() + 7, box_.bottom - sub.height() + 9, "max");
}

void TrainingPainter::RmsCurve() {
    if (rmsPoints_.empty()) return;
    std::vector<QPoint> shifted(rmsPoints_);
    for (QPoint& point : shifted) point += QPoint(1, -1);
    p_.setPen(QPen(QColor(255, 170, 170), 4));
    p_.drawPolyline(shifted.data(), static_cast<int>(shifted.size()));
    p_.setPen(QPen(QColor(255, 0, 0), 2));
    p_.drawPolyline(rmsPoints_.data(), static_cast<int>(rmsPoints_.size()));
    const QPoint last = rmsPoints_.back();
    p_.setPen(QPen(QColor(255, 120, 120), 1, Qt::DotLine));
    p_.drawLine(box_.left + 3, last.y() + 2, last.x(), last.y() + 2);
}

void TrainingPainter::PerformanceCurve(const std::vector<QPoint>& points) {
    if (points.empty()) return;
    p_.setPen(QPen(Qt::white, 3));
    p_.drawPolyline(points.data(), static_cast<int>(points.size()));
    p_.setPen(QPen(QColor(180, 0, 0), 1));
    p_.drawPolyline(points.data(), static_cast<int>(points.size()));
    if (s_.performanceKind == 0) return;
    const QPoint last = points.back();
    const double value = s_.performance->Last();
    p_.setFont(PixelFont("Arial", 14, 200));
    const QString text = Printf("%.0f", value * 100);
    const QSize e = TextExtent(p_, text);
    const int y = last.y() - e.height() / 2;
    DrawTextTopLeft(p_, last.x() + 2, y, text);
    DrawTextTopLeft(p_, last.x() + e.width() / 2, y + e.height() + 2, "%");
}

void TrainingPainter::RmsValueAndTicks() {
    if (!rmsPoints_.empty()) {
        const QPoint last = rmsPoints_.back();
        const double value = s_.rms->Last();
        p_.setFont(PixelFont("Arial", 16, 700));
        const QString text = Printf("%.9f", static_cast<float>(value));
        const int height = TextExtent(p_, text).height();
        int y = last.y() + 3;
        if (y + height > box_.bottom - 3) y = last.y() - height;
        p_.setPen(QColor(170, 170, 170));
        DrawTextTopLeft(p_, box_.left + 6, y + 1, text, QColor(Qt::white));
        p_.setPen(Qt::black);
        DrawTextTopLeft(p_, box_.left + 5, y, text);
    }
    p_.setFont(PixelFont("Arial", 10, 200));
    for (double tick : kLogTicks) {
        const int y = scale_(tick);
        if (!(box_.top < y && y < box_.bottom - 30)) continue;
        p_.setPen(Qt::black);
        p_.drawLine(box_.left - 5, y, box_.left, y);
        const QString text = QString::fromStdString(FormatNumberTrimmed(tick));
        const QSize e = TextExtent(p_, text);
        DrawTextTopLeft(p_, box_.left - 7 - e.width(), y - e.height() / 2, text);
    }
}

// Returns the bottom of what it drew (0 when nothing).
int TrainingPainter::PerformanceTitle() {
    if (s_.performance->Count() == 0 || !s_.performanceOn) return 0;
    const double last = s_.performance->Last();
    const bool share = s_.performanceKind != 0;
    const QString title = share ? Printf("Performance On Test Data = %.0f%%", static_cast<float>(last) * 100.0)
                                : Printf("Performance (RMS) On Test Data = %.5f", static_cast<float>(last));
    p_.setFont(PixelFont("Times New Roman", 40, 700, 15));
    const QSize e = TextExtent(p_, title);
    const int x = (frame_.width() - e.width()) / 2;
    p_.setPen(QColor(220, 220, 220));
    DrawTextTopLeft(p_, x + 2, -1, title);
    p_.setPen(Qt::black);
    DrawTextTopLeft(p_, x, -3, title);

    char range[160];
    if (share) {
        std::snprintf(range, sizeof range, "( Min=%.0f%% , Max=%.0f%% )", s_.performanceMinimum * 100,
                      s_.performanceMaximum * 100);
    } else {
        std::snprintf(range, sizeof range, "( Min=%.5f , Max=%.5f )", s_.performanceMinimum, s_.performanceMaximum);
    }
    const QString second = QString::fromLatin1(range);
    p_.setFont(PixelFont("Times New Roman", 25, 700, 10));
    const QSize e2 = TextExtent(p_, second);
    const int x2 = x + e.width() / 2 - e2.width() / 2;
    const int y2 = e.height() - 7;
    p_.setPen(QColor(220, 220, 220));
    DrawTextTopLeft(p_, x2 + 1, y2 + 1, second, QColor(Qt::white));
    p_.setPen(Qt::black);
    DrawTextTopLeft(p_, x2, y2, second);
    return y2 + e2.height();
}

// Shown steadily while the error stands still or rises and "Show Storms" is on; under the
// performance title when there is one.
void TrainingPainter::StormLabel(int below) {
    if (!s_.storm || !s_.showStorms) return;
    const QString text = "Storm: the error is not falling";
    p_.setFont(PixelFont("Times New Roman", 30, 720));
    const int x = (frame_.width() - TextExtent(p_, text).width()) / 2;
    const int y = below > 0 ? below + 2 : 6;
    p_.setPen(Qt::black);
    DrawTextTopLeft(p_, x, y, text);
    p_.setPen(QColor(200, 200, 200));
    DrawTextTopLeft(p_, x, y - 1, text);
}

void TrainingPainter::Paint() {
    if (s_.rms->Count() < 1) return;
    RmsPoints();
    const std::vector<QPoint> performance = PerformancePoints();
    Axes();
    EpochTicks();
    GoalLabel();
    if (s_.smartLearningConstant && s_.lcGraphOn) {
        const std::vector<QPoint> lc = LcPoints();
        p_.setPen(QPen(QColor(200, 200, 200), 1));
        p_.drawPolyline(lc.data(), static_cast<int>(lc.size()));
    }
    if (s_.rmsGraphOn) RmsCurve();
    if (s_.performanceOn) PerformanceCurve(performance);
    if (s_.rmsGraphOn) RmsValueAndTicks();
    StormLabel(PerformanceTitle());
}

}  // namespace

LogScale::LogScale(double lo, double hi, double smallestPositive, const PlotBox& box)
    : lo_(lo), hi_(hi), bottom_(box.bottom), height_(box.Height()) {
    if (!(lo_ > 0) || !std::isfinite(lo_)) lo_ = smallestPositive > 0 ? smallestPositive : 1e-7;
    if (!(hi_ > lo_) || !std::isfinite(hi_)) {
        // One value (or none above the goal): a decade around the two, so a flat curve runs mid-plot.
        const double low = hi_ > 0 && std::isfinite(hi_) ? std::min(lo_, hi_) : lo_;
        const double high = hi_ > 0 && std::isfinite(hi_) ? std::max(lo_, hi_) : lo_;
        lo_ = low / std::sqrt(10.0);
        hi_ = high * std::sqrt(10.0);
    }
}

int LogScale::operator()(double value) const {
    if (!(value > 0)) value = lo_;
    return Truncated(bottom_ - std::log(value / lo_) * height_ / std::log(hi_ / lo_)) - 5;
}

namespace {

// At most 2W + 100 of the n values that at gives, the first not plotted; without showStorms a rise
// is drawn flat.
template <typename At>
std::vector<QPoint> ThinValues(long long n, At at, const PlotBox& box, const LogScale& scale, bool showStorms) {
    const long long w = box.Width();
    const long long cap = 2 * w + 100;
    if (w < 1 || n < 1) return {};
    const long long step = std::max(1LL, n / cap);
    std::vector<QPoint> slots(static_cast<std::size_t>(cap));
    long long p = 0;
    double previous = at(0);
    long long t = 0;
    for (long long k = 1; k < n; k += step, ++t) {
        double v = at(k);
        if (!showStorms && v > previous) v = previous;
        previous = v;
        slots[static_cast<std::size_t>(p)] = QPoint(static_cast<int>(k * w / n + box.left + 5), scale(v));
        p = n < cap - 1 ? p + 1 : cap * (1 + t * step) / n;
        p = std::clamp(p, 1LL, cap - 1);
    }
    slots.resize(t == 0 ? 0 : static_cast<std::size_t>(p));
    return slots;
}

// Every value counts: per pixel column the buckets' points; without showStorms each value is
// drawn as the lowest up to it, as the flattening of every rise gives.
std::vector<QPoint> BucketRmsCurve(const CurveSource& rms, const PlotBox& box, const LogScale& scale,
                                   bool showStorms) {
    const long long n = rms.Count();
    const long long w = box.Width();
    const auto x = [&](long long k) { return static_cast<int>(k * w / n + box.left + 5); };
    if (showStorms) return BucketPoints(rms, 1, n, x, scale);
    std::vector<QPoint> points;
    double lowest = rms.At(0);
    const long long size = rms.BucketSize();
    for (long long j = 0; j < rms.BucketCount(); ++j) {
        const long long first = 1 + j * size;
        const CurveBucket b = rms.Bucket(j);
        points.emplace_back(x(first), scale(std::min(lowest, b.first)));
        lowest = std::min(lowest, b.low);
        points.emplace_back(x(std::min<long long>(first + size, n) - 1), scale(lowest));
    }
    return ReduceColumns(points);
}

}  // namespace

std::vector<QPoint> ThinRmsCurve(const CDynaArray<double>& rms, const PlotBox& box, const LogScale& scale,
                                 bool showStorms) {
    return ThinValues(
        rms.GetCount(), [&rms](long long k) { return rms[static_cast<int>(k)]; }, box, scale, showStorms);
}

std::vector<QPoint> ThinRmsCurve(const CurveSource& rms, const PlotBox& box, const LogScale& scale, bool showStorms) {
    if (box.Width() < 1 || rms.Count() < 1) return {};
    if (!rms.Detailed()) return BucketRmsCurve(rms, box, scale, showStorms);
    return ThinValues(
        rms.Count(), [&rms](long long k) { return rms.At(k); }, box, scale, showStorms);
}

int EpochLabelInterval(int labelWidth, int plotWidth, long long n) {
    if (n < 1) return 1;
    const long long perThousand = static_cast<long long>(plotWidth) * 1000 / n;
    // A plot narrower than n / 1000 pixels: the interval follows the true spacing of the ticks.
    const float spacing = perThousand > 0 ? static_cast<float>(perThousand) : static_cast<float>(plotWidth) * 1000.0f / n;
    const int interval = spacing > 0 ? static_cast<int>((labelWidth + 4) * 1.8f / spacing) : 1;
    return interval > 0 ? interval : 1;
}

void PaintTraining(QPainter& painter, QSize frame, const TrainingScene& scene) {
    TrainingPainter(painter, frame, scene).Paint();
}
