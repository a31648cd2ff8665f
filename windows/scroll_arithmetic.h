// The structure view's scroll steps: a line is a hundredth and a page a tenth of the drawing's
// extent along that bar.
#pragma once

#include <optional>

// The new position for a scroll bar action (QAbstractSlider::SliderAction) at position p, or none
// when the action sets no position. thumb: where the thumb is being dragged.
std::optional<long long> ScrollPosition(int action, long long p, long long thumb, long long extent, long long minimum,
                                        long long maximum);
