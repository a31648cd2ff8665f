#include "windows/scroll_arithmetic.h"

#include <QAbstractSlider>
#include <algorithm>

std::optional<long long> ScrollPosition(int action, long long p, long long thumb, long long extent, long long minimum,
                                        long long maximum) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return p - extent / 100;
    case QAbstractSlider::SliderSingleStepAdd: return std::min(extent, p + extent / 100);
    case QAbstractSlider::SliderPageStepSub: return p - extent / 10;
    case QAbstractSlider::SliderPageStepAdd: return std::min(extent, p + extent / 10);
    case QAbstractSlider::SliderMove: return thumb;
    case QAbstractSlider::SliderToMinimum: return minimum;
    case QAbstractSlider::SliderToMaximum: return maximum;
    default: return std::nullopt;
    }
}
