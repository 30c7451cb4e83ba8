// The float nearest a double on a chosen side, for bounds that must hold
// after rounding: a box a test may never see outside of, a margin that must
// not shrink.
#pragma once
#include <cmath>

// The largest float not above `value`.
inline float floatAtOrBelow(double value) {
    const float rounded = float(value);
    return double(rounded) > value ? std::nextafter(rounded, -INFINITY) : rounded;
}

// The smallest float not below `value`.
inline float floatAtOrAbove(double value) {
    const float rounded = float(value);
    return double(rounded) < value ? std::nextafter(rounded, INFINITY) : rounded;
}
