#include "shell/document_limits.h"

namespace doc_limits {
namespace {

// The squares of the stretches without a space over kStretchDivisor, plus those of the stacks of
// marks over kMarkDivisor, stay below kStretchCost: one stretch of 28,963 letters, or one stack of
// 11,823 accents (0.3 s), and fewer of them when there are several.
constexpr qint64 kStretchDivisor = 100;
constexpr qint64 kMarkDivisor = 20;
constexpr qint64 kStretchCost = 8LL * 1024 * 1024;

}  // namespace

rich::Bounds EditorBounds() {
    return {.lines = kMaxLines,
            .lineCharacters = kMaxLineCharacters,
            .characters = kMaxCharacters,
            .formatChanges = kMaxFormatChanges,
            .stretchCost = kStretchCost,
            .stretchDivisor = kStretchDivisor,
            .markDivisor = kMarkDivisor};
}

}  // namespace doc_limits
