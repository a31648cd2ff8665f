// A learning curve of the training window in bounded memory, however long a training runs.
//
// Every value is kept while the curve is short enough to be drawn from its values (at most
// detailLimit values after the first). Beyond that the values after the first are kept as buckets
// of 2^k consecutive values (the fewest that leave at most bucketLimit buckets), each with its
// first, last, lowest and highest value: at least two buckets to a pixel column of the widest plot
// a window can have, which is what the drawing of a long curve reads. With the default limits a
// curve holds at most 8 MiB of values or 5 MiB of buckets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Consecutive values of a curve: the first and last, the lowest and highest (their first
// occurrences) and which of those two came first.
struct CurveBucket {
    double first = 0.0;
    double last = 0.0;
    double low = 0.0;
    double high = 0.0;
    bool lowFirst = true;

    static CurveBucket Of(double value) { return {value, value, value, value, true}; }
    // The bucket of a's values followed by b's.
    static CurveBucket Joined(const CurveBucket& a, const CurveBucket& b);
};

// What the drawing reads of a curve; the store below, or (for a comparison) every value.
class CurveSource {
public:
    virtual ~CurveSource() = default;
    virtual std::int64_t Count() const = 0;
    // True while every value is at hand (At answers for every index); else the buckets are.
    virtual bool Detailed() const = 0;
    // Index 0 and the last index always; the others while Detailed.
    virtual double At(std::int64_t index) const = 0;
    // The values from index 1 on, in buckets of BucketSize() (the last one may be shorter).
    virtual std::int64_t BucketSize() const = 0;
    virtual std::int64_t BucketCount() const = 0;
    virtual CurveBucket Bucket(std::int64_t index) const = 0;
    double Last() const { return At(Count() - 1); }
};

class CurveStore : public CurveSource {
public:
    static constexpr std::int64_t kDetailLimit = std::int64_t{1} << 20;
    static constexpr std::int64_t kBucketLimit = std::int64_t{1} << 17;

    explicit CurveStore(std::int64_t detailLimit = kDetailLimit, std::int64_t bucketLimit = kBucketLimit);

    void Add(double value);
    void Clear();
    // The bytes the curve holds on to.
    std::size_t MemoryBytes() const;

    // The bucket size for a curve of count values once it is no longer detailed: the smallest power
    // of two that leaves at most bucketLimit buckets.
    static std::int64_t BucketSizeFor(std::int64_t count, std::int64_t bucketLimit);

    std::int64_t Count() const override { return count_; }
    bool Detailed() const override { return count_ - 1 <= detailLimit_; }
    double At(std::int64_t index) const override;
    std::int64_t BucketSize() const override { return bucketSize_; }
    std::int64_t BucketCount() const override { return static_cast<std::int64_t>(buckets_.size()); }
    CurveBucket Bucket(std::int64_t index) const override { return buckets_[static_cast<std::size_t>(index)]; }

private:
    void StartBuckets();
    void AddToBuckets(double value);
    void HalveBuckets();

    std::int64_t detailLimit_;
    std::int64_t bucketLimit_;
    std::int64_t count_ = 0;
    double head_ = 0.0;
    double last_ = 0.0;
    std::vector<double> values_;  // every value, while detailed
    std::vector<CurveBucket> buckets_;
    std::int64_t bucketSize_ = 1;
    std::int64_t inLastBucket_ = 0;
};
