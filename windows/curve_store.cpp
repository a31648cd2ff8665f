#include "windows/curve_store.h"

#include <algorithm>

CurveBucket CurveBucket::Joined(const CurveBucket& a, const CurveBucket& b) {
    CurveBucket joined;
    joined.first = a.first;
    joined.last = b.last;
    // On a tie the earlier value counts: a's.
    const bool lowFromA = !(b.low < a.low);
    const bool highFromA = !(b.high > a.high);
    joined.low = lowFromA ? a.low : b.low;
    joined.high = highFromA ? a.high : b.high;
    if (lowFromA == highFromA) {
        joined.lowFirst = lowFromA ? a.lowFirst : b.lowFirst;
    } else {
        joined.lowFirst = lowFromA;
    }
    return joined;
}

CurveStore::CurveStore(std::int64_t detailLimit, std::int64_t bucketLimit)
    : detailLimit_(std::max<std::int64_t>(1, detailLimit)), bucketLimit_(std::max<std::int64_t>(2, bucketLimit)) {}

std::int64_t CurveStore::BucketSizeFor(std::int64_t count, std::int64_t bucketLimit) {
    std::int64_t size = 1;
    while ((count - 1 + size - 1) / size > bucketLimit) size *= 2;
    return size;
}

void CurveStore::Add(double value) {
    if (count_ == 0) head_ = value;
    last_ = value;
    ++count_;
    if (buckets_.empty() && Detailed()) {
        // Grown by doubling up to the limit, never past it.
        if (values_.size() == values_.capacity())
            values_.reserve(static_cast<std::size_t>(std::min<std::int64_t>(
                std::max<std::int64_t>(1024, 2 * static_cast<std::int64_t>(values_.capacity())), detailLimit_ + 1)));
        values_.push_back(value);
        return;
    }
    if (buckets_.empty()) {
        StartBuckets();
        return;
    }
    AddToBuckets(value);
}

void CurveStore::Clear() {
    count_ = 0;
    std::vector<double>().swap(values_);
    std::vector<CurveBucket>().swap(buckets_);
    bucketSize_ = 1;
    inLastBucket_ = 0;
}

std::size_t CurveStore::MemoryBytes() const {
    return values_.capacity() * sizeof(double) + buckets_.capacity() * sizeof(CurveBucket);
}

double CurveStore::At(std::int64_t index) const {
    if (index == 0) return head_;
    if (index == count_ - 1) return last_;
    return values_[static_cast<std::size_t>(index)];
}

// The curve has just outgrown its detail (the newest value is not in values_ yet).
void CurveStore::StartBuckets() {
    bucketSize_ = BucketSizeFor(count_, bucketLimit_);
    buckets_.reserve(static_cast<std::size_t>(bucketLimit_));
    const std::vector<double> values = std::move(values_);
    values_ = {};
    inLastBucket_ = 0;
    for (std::size_t i = 1; i < values.size(); ++i) AddToBuckets(values[i]);
    AddToBuckets(last_);
}

void CurveStore::AddToBuckets(double value) {
    if (!buckets_.empty() && inLastBucket_ < bucketSize_) {
        buckets_.back() = CurveBucket::Joined(buckets_.back(), CurveBucket::Of(value));
        ++inLastBucket_;
        return;
    }
    if (static_cast<std::int64_t>(buckets_.size()) == bucketLimit_) HalveBuckets();
    if (!buckets_.empty() && inLastBucket_ < bucketSize_) {
        buckets_.back() = CurveBucket::Joined(buckets_.back(), CurveBucket::Of(value));
        ++inLastBucket_;
        return;
    }
    buckets_.push_back(CurveBucket::Of(value));
    inLastBucket_ = 1;
}

// Twice the values to a bucket: neighbours join, in place.
void CurveStore::HalveBuckets() {
    const std::size_t count = buckets_.size();
    for (std::size_t i = 0; i < count / 2; ++i) buckets_[i] = CurveBucket::Joined(buckets_[2 * i], buckets_[2 * i + 1]);
    if (count % 2 != 0) buckets_[count / 2] = buckets_[count - 1];
    const std::int64_t oldSize = bucketSize_;
    buckets_.resize((count + 1) / 2);
    bucketSize_ *= 2;
    // A lone last bucket keeps its values; a joined one holds a full old bucket and the last.
    inLastBucket_ = count % 2 != 0 ? inLastBucket_ : oldSize + inLastBucket_;
}
