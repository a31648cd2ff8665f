// The training view: the RMS error on a logarithmic scale, the learning constant, the test
// performance, axes, tick labels, the last values and the performance title.
#pragma once

#include <QPoint>
#include <QSize>
#include <vector>

#include "windows/curve_store.h"

template <typename T>
class CDynaArray;
class QPainter;

// A curve that has outgrown its detail (CurveStore) is drawn from its buckets: per pixel column the
// first, lowest, highest and last point of the buckets that fall into it, so that its spikes stay.
struct TrainingScene {
    const CurveSource* rms = nullptr;
    const CurveSource* lc = nullptr;
    const CurveSource* performance = nullptr;
    double goalError = 0.0;
    double rmsMaximum = -1e8;
    double rmsMinimumPositive = 0.0;  // 0 when no positive value was added
    double performanceMinimum = 1e8;
    double performanceMaximum = -1e8;
    double learningConstantSetting = 1.0;
    int performanceKind = 0;
    bool smartLearningConstant = false;
    bool lcGraphOn = false;
    bool rmsGraphOn = true;
    bool performanceOn = true;
    bool showStorms = false;
    bool storm = false;
};

// The plot box inside a frame of the given size.
struct PlotBox {
    int left, top, right, bottom;
    explicit PlotBox(QSize frame)
        : left(40), top(65), right(frame.width() - 30), bottom(frame.height() - 30) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The logarithmic height of a value between a low and a high value. Where the bounds make no scale
// (a low bound of 0 or below, or a high bound not above it) the scale is chosen to show the values.
class LogScale {
public:
    LogScale(double lo, double hi, double smallestPositive, const PlotBox& box);
    int operator()(double value) const;
    double Low() const { return lo_; }
    double High() const { return hi_; }

private:
    double lo_, hi_;
    double bottom_, height_;
};

// Draws the curves into a white frame (the caller has filled it). Nothing without an RMS point.
void PaintTraining(QPainter& painter, QSize frame, const TrainingScene& scene);

// The RMS curve's polyline: at most 2W + 100 points of the curve (W the plot width), the first
// value not plotted; without showStorms a rise is drawn flat.
std::vector<QPoint> ThinRmsCurve(const CDynaArray<double>& rms, const PlotBox& box, const LogScale& scale,
                                 bool showStorms);
// The same of a curve while it is detailed; beyond, drawn from its buckets (every value counts, a
// rise flattened against all values before it).
std::vector<QPoint> ThinRmsCurve(const CurveSource& rms, const PlotBox& box, const LogScale& scale, bool showStorms);

// The epoch label interval for n points on a plot w pixels wide whose "%dk" label is
// labelWidth pixels wide.
int EpochLabelInterval(int labelWidth, int plotWidth, long long n);
