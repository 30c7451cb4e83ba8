// Independent distance computations in long double, to judge the wall code by.
#pragma once

#include <algorithm>
#include <cmath>

#include "Wall.h"

// Signed distance from (px, py) to the wall's infinite line, positive on the
// left of the direction from the first end to the second. A zero-length wall
// counts as vertical with direction (0, -1), as the push-out treats it.
// Measured from the nearer end, so that a far end costs no precision.
inline long double referenceSide(const Wall& wall, long double px, long double py) {
    const long double dx = (long double)wall.x2 - wall.x1;
    const long double dy = (long double)wall.y2 - wall.y1;
    if (dx == 0.0L && dy == 0.0L) {
        return px - wall.x1;
    }
    const bool nearerFirst =
        std::hypot(px - wall.x1, py - wall.y1) <= std::hypot(px - wall.x2, py - wall.y2);
    const long double baseX = nearerFirst ? wall.x1 : wall.x2;
    const long double baseY = nearerFirst ? wall.y1 : wall.y2;
    return (dx * (py - baseY) - dy * (px - baseX)) / std::hypot(dx, dy);
}

// Distance from (px, py) to the segment between the wall's end points.
inline long double referenceSegmentDistance(const Wall& wall, long double px, long double py) {
    const long double dx = (long double)wall.x2 - wall.x1;
    const long double dy = (long double)wall.y2 - wall.y1;
    const long double lengthSquared = dx * dx + dy * dy;
    long double t = 0.0L;
    if (lengthSquared > 0.0L) {
        t = std::clamp(((px - wall.x1) * dx + (py - wall.y1) * dy) / lengthSquared, 0.0L, 1.0L);
    }
    return std::hypot(px - (wall.x1 + t * dx), py - (wall.y1 + t * dy));
}
