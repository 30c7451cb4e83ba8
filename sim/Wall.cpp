// Walls: finishing a drawn segment, the ball contact test and the push-out.
#include "Wall.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Ball.h"
#include "Vector.h"

namespace {

// The slope-intercept form (m, -1/m, q = y1 - m*x1) is used where it is well
// conditioned: slopes between 1/1024 and 1024, and an intercept formed from
// terms below 2^15, so its rounding stays under 0.002 units. That covers every
// wall the pointer can draw (0.15625 grid inside the field: slopes from 1/640
// to 480, |m*x1| at most 24000). Flatter, steeper or far-off walls, where -1/m
// or the intercept lose their precision or overflow, are projected onto instead.
constexpr float steepestSlope = 1024.0f;
constexpr float flattestSlope = 1.0f / steepestSlope;
constexpr float interceptTermLimit = 32768.0f;

bool between(float value, float a, float b)
{
    return std::min(a, b) <= value && value <= std::max(a, b);
}

struct Foot {
    float x, y;
    bool fromSlopeForm;
};

// Foot of the perpendicular from (bx, by) to the infinite line of a wall that
// is neither vertical nor horizontal.
Foot footOnSlopedLine(const Wall& wall, float bx, float by)
{
    const float m = (wall.y2 - wall.y1) / (wall.x2 - wall.x1);
    const float mX1 = m * wall.x1;
    const float steepness = std::fabs(m);
    const bool interceptHolds = std::fabs(mX1) <= interceptTermLimit && std::fabs(wall.y1) <= interceptTermLimit;
    if (steepness >= flattestSlope && steepness <= steepestSlope && interceptHolds) {
        const float mPerp = -1.0f / m;
        const float q = wall.y1 - mX1;
        const float footX = ((by - mPerp * bx) - q) / (m - mPerp);
        const float footY = m * footX + q;
        if (std::isfinite(footX) && std::isfinite(footY)) {
            return {footX, footY, true};
        }
    }
    // In double, differences of float coordinates and their squares neither
    // overflow nor vanish, so this is defined for any wall with x1 != x2.
    // Measuring from the end point nearer the ball keeps a far-away other end
    // from costing precision near this one.
    const double dx = double(wall.x2) - wall.x1;
    const double dy = double(wall.y2) - wall.y1;
    const bool nearerFirst = squaredDistance(bx, by, wall.x1, wall.y1) <= squaredDistance(bx, by, wall.x2, wall.y2);
    const double baseX = nearerFirst ? wall.x1 : wall.x2;
    const double baseY = nearerFirst ? wall.y1 : wall.y2;
    const double t = ((bx - baseX) * dx + (by - baseY) * dy) / (dx * dx + dy * dy);
    return {float(baseX + t * dx), float(baseY + t * dy), false};
}

}  // namespace

void Wall::finish()
{
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    // End points so close or so far apart that the float squares vanish or
    // overflow are measured in double, where they cannot. A span beyond the
    // largest float is held there rather than at infinity.
    const bool floatSquaresHold = std::isnormal(dx * dx + dy * dy);
    const double wideDx = double(x2) - x1;
    const double wideDy = double(y2) - y1;
    const double wideLength = std::sqrt(wideDx * wideDx + wideDy * wideDy);
    length = floatSquaresHold ? length3(dx, dy, 0.0f)
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

float Wall::penetrationDepth(const Ball& ball) const
{
    const float bx = ball.x;
    const float by = ball.y;
    const float r = ball.radius;

    const float d1Squared = (x1 - bx) * (x1 - bx) + (y1 - by) * (y1 - by);
    if (d1Squared > (r + length) * (r + length)) {
        return noContact;
    }
    if (d1Squared <= r * r) {
        return r - std::sqrt(d1Squared);
    }
    const float d2Squared = (x2 - bx) * (x2 - bx) + (y2 - by) * (y2 - by);
    if (d2Squared <= r * r) {
        return r - std::sqrt(d2Squared);
    }
    if (x1 == x2) {
        const float gap = std::fabs(x1 - bx);
        return between(by, y1, y2) && gap <= r ? r - gap : noContact;
    }
    if (y1 == y2) {
        const float gap = std::fabs(y1 - by);
        return between(bx, x1, x2) && gap <= r ? r - gap : noContact;
    }
    const Foot foot = footOnSlopedLine(*this, bx, by);
    const float fSquared = (foot.x - bx) * (foot.x - bx) + (foot.y - by) * (foot.y - by);
    // On a projected wall, very flat or very steep, one rounding step of the
    // flat coordinate spans far along the line: check the other one as well.
    const bool withinSpan = between(foot.y, y1, y2) && (foot.fromSlopeForm || between(foot.x, x1, x2));
    if (fSquared > r * r || !withinSpan) {
        return noContact;
    }
    return r - std::sqrt(fSquared);
}

void Wall::pushOut(Ball& ball) const
{
    const float bx = ball.x;
    const float by = ball.y;
    const float r = ball.radius;

    float footX = bx;
    float footY = by;
    if (x1 == x2) {
        footX = x1;
    } else if (y1 == y2) {
        footY = y1;
    } else {
        const Foot foot = footOnSlopedLine(*this, bx, by);
        footX = foot.x;
        footY = foot.y;
    }
    const float nx = footX - bx;  // from the centre towards the line
    const float ny = footY - by;
    const float l = length3(nx, ny, 0.0f);

    // Unit vector from the centre towards the line. normalize3To scales by the
    // same float 1/l, so u*s below is exactly (1/l)*n*s.
    float ux;
    float uy;
    if (l == 0.0f) {
        // The centre is on the line and has no side of its own: it leaves on
        // the wall's left, the normal (-dirY, dirX). A zero-length wall, with
        // direction (0, -1), therefore pushes towards +x.
        ux = dirY;
        uy = -dirX;
    } else {
        float uz;
        normalize3To(nx, ny, 0.0f, ux, uy, uz);
    }
    const double s = r - l + contactMargin;  // ends r + 0.1 from the line
    ball.x = float(bx - ux * s);
    ball.y = float(by - uy * s);
    ball.vx = ball.vx - bounceKick * ux;
    ball.vy = ball.vy - bounceKick * uy;
}

WallSet::~WallSet()
{
    for (Wall* wall : walls_) {
        delete wall;
    }
}

void WallSet::append(Wall* wall)
{
    walls_.push_back(wall);
}

void WallSet::collide(Ball& ball) const
{
    for (const Wall* wall : walls_) {
        if (wall->penetrationDepth(ball) != noContact) {
            wall->pushOut(ball);
        }
    }
}
