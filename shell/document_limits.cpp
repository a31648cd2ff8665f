#include "shell/document_limits.h"

namespace doc_limits {
namespace {

// The squares of the stretches without a space over kStretchDivisor, plus those of the stacks of
// marks over kMarkDivisor, stay below kStretchCost: the most of either that lays out in time.
constexpr qint64 kStretchDivisor = 100;
constexpr qint64 kMarkDivisor = 20;
constexpr qint64 kStretchCost = 8LL * 1024 * 1024;

}  // namespace

rich::Bounds EditorBounds() {
    rich::Bounds bounds;
    bounds.lines = kMaxLines;
    bounds.lineCharacters = kMaxLineCharacters;
    bounds.characters = kMaxCharacters;
    bounds.formatChanges = kMaxFormatChanges;
    bounds.stretchCost = kStretchCost;
    bounds.stretchDivisor = kStretchDivisor;
    bounds.markDivisor = kMarkDivisor;
    return bounds;
}

}  // namespace doc_limits
