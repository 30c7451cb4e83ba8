// A wall's own operations: finishing a drawn segment, the ball contact test
// and the push-out.
#include "Wall.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Vector.h"
#include "WallContact.h"

void Wall::finish() {
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    // End points so close or so far apart that the float squares vanish or
    // overflow are measured in double, where they cannot. A span beyond the
    // largest float is held there rather than at infinity.
    const bool floatSquaresHold = std::isnormal(dx * dx + dy * dy);
    const double wideDx = double(x2) - x1;
    const double wideDy = double(y2) - y1;
    const double wideLength = std::sqrt(wideDx * wideDx + wideDy * wideDy);
    length = floatSquaresHold
                 ? length3(dx, dy, 0.0f)
                 : float(std::min(wideLength, double(std::numeric_limits<float>::max())));
    if (x1 == x2) {  // vertical, or zero length: then (0, -1)
        dirX = 0.0f;
        dirY = y2 > y1 ? 1.0f : -1.0f;
    } else if (floatSquaresHold) {
        dirX = dx * (1.0f / length);
        dirY = dy * (1.0f / length);
    } else {
        dirX = float(wideDx / wideLength);
        dirY = float(wideDy / wideLength);
    }
}

float Wall::penetrationDepth(const Ball& ball) const { return depthOf(*this, ball, nullptr); }

void Wall::pushOut(Ball& ball) const { pushOutOf(*this, ball, nullptr); }
