// The training window's curves in bounded memory: a long curve kept in buckets draws, in every plot
// size a window can have, the image that every value kept draws; the memory stays within its bound.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "windows/curve_store.h"
#include "windows/training_painter.h"

namespace {

// Every value kept: its buckets are read off the values when asked for.
class EveryValue : public CurveSource {
public:
    EveryValue(const std::vector<double>& values, std::int64_t detailLimit, std::int64_t bucketLimit)
        : values_(values), detailLimit_(detailLimit), size_(1) {
        while ((Count() - 1 + size_ - 1) / size_ > bucketLimit) size_ *= 2;
    }
    std::int64_t Count() const override { return static_cast<std::int64_t>(values_.size()); }
    bool Detailed() const override { return Count() - 1 <= detailLimit_; }
    double At(std::int64_t index) const override { return values_[static_cast<std::size_t>(index)]; }
    std::int64_t BucketSize() const override { return size_; }
    std::int64_t BucketCount() const override { return (Count() - 1 + size_ - 1) / size_; }
    CurveBucket Bucket(std::int64_t index) const override {
        const std::size_t from = static_cast<std::size_t>(1 + index * size_);
        const std::size_t to = std::min(values_.size(), from + static_cast<std::size_t>(size_));
        std::size_t low = from, high = from;
        for (std::size_t i = from; i < to; ++i) {
            if (values_[i] < values_[low]) low = i;
            if (values_[i] > values_[high]) high = i;
        }
        return {values_[from], values_[to - 1], values_[low], values_[high], low <= high};
    }

private:
    const std::vector<double>& values_;
    std::int64_t detailLimit_;
    std::int64_t size_;
};

// A training's error: falling, with noise, plateaus, rises and a few spikes.
std::vector<double> ErrorCurve(std::int64_t n, unsigned seed) {
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(n));
    std::uint32_t state = seed;
    double e = 0.8;
    for (std::int64_t i = 0; i < n; ++i) {
        state = state * 214013u + 2531011u;
        const double noise = ((state >> 16) & 0x7FFF) / 32768.0 - 0.5;
        e *= 1.0 - 4.0 / static_cast<double>(n) * (1.0 + noise);
        double v = e * (1.0 + 0.05 * noise);
        if ((state >> 8) % 5000 == 0) v *= 3.0;  // a spike: a storm
        values.push_back(v);
    }
    return values;
}

std::vector<double> LearningConstant(const std::vector<double>& error) {
    std::vector<double> lc;
    lc.reserve(error.size());
    for (std::size_t i = 0; i < error.size(); ++i) lc.push_back(0.2 + 0.7 * std::fabs(std::sin(i * 0.0007)));
    return lc;
}

QImage Paint(QSize frame, const CurveSource& rms, const CurveSource& lc, const CurveSource& performance,
             const std::vector<double>& values, bool showStorms, int performanceKind) {
    TrainingScene scene;
    scene.rms = &rms;
    scene.lc = &lc;
    scene.performance = &performance;
    scene.goalError = 1e-4;
    scene.rmsMaximum = *std::max_element(values.begin(), values.end());
    scene.rmsMinimumPositive = *std::min_element(values.begin(), values.end());
    scene.performanceMinimum = 0.0;
    scene.performanceMaximum = 1.0;
    scene.performanceKind = performanceKind;
    scene.smartLearningConstant = true;
    scene.lcGraphOn = true;
    scene.showStorms = showStorms;
    QImage image(frame, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintTraining(painter, frame, scene);
    return image;
}

bool HasCurveRed(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QColor(255, 0, 0)) return true;
    return false;
}

TEST(CurveStore, ALongCurveDrawsWhatEveryValueDraws) {
    struct Case {
        std::int64_t n;
        std::int64_t detailLimit, bucketLimit;
    };
    const Case cases[] = {
        {3000, 5000, 64},                                             // detailed throughout
        {5002, 5000, 64},                                             // just beyond the detail
        {100000, 4096, 256},                                          // many halvings
        {77777, 1000, 1000},                                          // a bucket limit not a power of two
        {60001, 1001, 999},                                           // odd limits: a lone bucket at halving
        {3000000, CurveStore::kDetailLimit, CurveStore::kBucketLimit},  // a long training as it is kept
    };
    const QSize frames[] = {{600, 400}, {1600, 1000}, {7000, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << " values, detail " << c.detailLimit << ", buckets " << c.bucketLimit);
        const std::vector<double> rmsValues = ErrorCurve(c.n, 7);
        const std::vector<double> lcValues = LearningConstant(rmsValues);
        std::vector<double> performanceValues(rmsValues.size());
        for (std::size_t i = 0; i < performanceValues.size(); ++i) performanceValues[i] = 1.0 - rmsValues[i];
        CurveStore rms(c.detailLimit, c.bucketLimit), lc(c.detailLimit, c.bucketLimit);
        CurveStore performance(c.detailLimit, c.bucketLimit);
        for (std::size_t i = 0; i < rmsValues.size(); ++i) {
            rms.Add(rmsValues[i]);
            lc.Add(lcValues[i]);
            performance.Add(performanceValues[i]);
        }
        const EveryValue allRms(rmsValues, c.detailLimit, c.bucketLimit), allLc(lcValues, c.detailLimit, c.bucketLimit);
        const EveryValue allPerformance(performanceValues, c.detailLimit, c.bucketLimit);

        ASSERT_EQ(rms.Count(), c.n);
        ASSERT_EQ(rms.Detailed(), allRms.Detailed());
        EXPECT_LE(rms.BucketCount(), c.bucketLimit);
        if (!rms.Detailed()) {
            ASSERT_EQ(rms.BucketSize(), allRms.BucketSize());
            ASSERT_EQ(rms.BucketCount(), allRms.BucketCount());
            for (std::int64_t j = 0; j < rms.BucketCount(); ++j) {
                const CurveBucket kept = rms.Bucket(j), every = allRms.Bucket(j);
                ASSERT_EQ(std::make_tuple(kept.first, kept.last, kept.low, kept.high, kept.lowFirst),
                          std::make_tuple(every.first, every.last, every.low, every.high, every.lowFirst))
                    << "bucket " << j;
            }
        }
        EXPECT_EQ(rms.Last(), rmsValues.back());
        for (const QSize frame : frames) {
            for (const bool storms : {false, true}) {
                const int kind = storms ? 1 : 0;
                const QImage bounded = Paint(frame, rms, lc, performance, rmsValues, storms, kind);
                const QImage unbounded = Paint(frame, allRms, allLc, allPerformance, rmsValues, storms, kind);
                EXPECT_TRUE(bounded == unbounded) << frame.width() << " x " << frame.height() << ", storms " << storms;
                EXPECT_TRUE(HasCurveRed(bounded));
            }
        }
    }
}

// Small limits of every kind, odd and even, powers of two and not: after every value the store keeps
// exactly the buckets (or the values) that every value kept gives.
TEST(CurveStore, EveryLimitKeepsTheBucketsOfEveryValueAfterEveryValue) {
    const std::int64_t detailLimits[] = {1, 2, 3, 6, 10};
    const std::int64_t bucketLimits[] = {2, 3, 4, 5, 6, 7, 8, 12, 13};
    const std::vector<double> all = ErrorCurve(700, 3);
    for (const std::int64_t detailLimit : detailLimits) {
        for (const std::int64_t bucketLimit : bucketLimits) {
            SCOPED_TRACE(testing::Message() << "detail " << detailLimit << ", buckets " << bucketLimit);
            CurveStore store(detailLimit, bucketLimit);
            std::vector<double> values;
            for (const double v : all) {
                store.Add(v);
                values.push_back(v);
                const EveryValue every(values, detailLimit, bucketLimit);
                ASSERT_EQ(store.Count(), every.Count());
                ASSERT_EQ(store.Detailed(), every.Detailed()) << store.Count() << " values";
                ASSERT_EQ(store.At(0), values.front());
                ASSERT_EQ(store.Last(), values.back());
                if (store.Detailed()) {
                    for (std::int64_t i = 0; i < store.Count(); ++i) ASSERT_EQ(store.At(i), every.At(i)) << i;
                    continue;
                }
                ASSERT_EQ(store.BucketSize(), every.BucketSize()) << store.Count() << " values";
                ASSERT_EQ(store.BucketCount(), every.BucketCount()) << store.Count() << " values";
                for (std::int64_t j = 0; j < store.BucketCount(); ++j) {
                    const CurveBucket kept = store.Bucket(j), expected = every.Bucket(j);
                    ASSERT_EQ(std::make_tuple(kept.first, kept.last, kept.low, kept.high, kept.lowFirst),
                              std::make_tuple(expected.first, expected.last, expected.low, expected.high,
                                              expected.lowFirst))
                        << store.Count() << " values, bucket " << j;
                }
            }
        }
    }
}

// However long the curve, its memory stays within the bound: 8 MiB of values, then the buckets.
TEST(CurveStore, MemoryStaysWithinItsBound) {
    CurveStore curve;
    const std::size_t bound = (CurveStore::kDetailLimit + 1) * sizeof(double);
    std::int64_t checked = 1;
    double e = 1.0;
    for (std::int64_t i = 1; i <= (std::int64_t{1} << 25); ++i) {
        e *= 0.9999999;
        curve.Add(e);
        if (i != checked) continue;
        checked *= 2;
        EXPECT_LE(curve.MemoryBytes(), bound) << i;
        EXPECT_LE(curve.BucketCount(), CurveStore::kBucketLimit) << i;
        EXPECT_EQ(curve.Count(), i);
        EXPECT_EQ(curve.Last(), e);
    }
    EXPECT_FALSE(curve.Detailed());
    curve.Clear();
    EXPECT_EQ(curve.MemoryBytes(), 0u);
    EXPECT_EQ(curve.Count(), 0);
}

}  // namespace
