// The contact test and push-out of one wall, and the slope form of its line
// that both use for a sloped wall.
#include "WallContact.h"

#include <algorithm>
#include <cmath>

#include "Ball.h"
#include "Vector.h"
#include "Wall.h"

// The slope-intercept form (m, -1/m, q = y1 - m*x1) is used where it is well
// conditioned: slopes between 1/1024 and 1024, and an intercept formed from
// terms below 2^15, so its rounding stays under 0.002 units. That covers every
// wall the pointer can draw (0.15625 grid inside the field: slopes from 1/640
// to 480, |m*x1| at most 24000). Flatter, steeper or far-off walls, where -1/m
// or the intercept lose their precision or overflow, are projected onto instead.
constexpr float steepestSlope = 1024.0f;
constexpr float flattestSlope = 1.0f / steepestSlope;
constexpr float interceptTermLimit = 32768.0f;

SlopeForm slopeFormOf(const Wall& wall) {
    const float m = (wall.y2 - wall.y1) / (wall.x2 - wall.x1);
    const float mX1 = m * wall.x1;
    const float steepness = std::fabs(m);
    const bool interceptHolds =
        std::fabs(mX1) <= interceptTermLimit && std::fabs(wall.y1) <= interceptTermLimit;
    const float mPerp = -1.0f / m;
    return {m, mPerp, wall.y1 - mX1, m - mPerp,
            steepness >= flattestSlope && steepness <= steepestSlope && interceptHolds};
}

namespace {

bool between(float value, float a, float b) {
    return std::min(a, b) <= value && value <= std::max(a, b);
}

struct Foot {
    float x, y;
    bool fromSlopeForm;
};

// Foot of the perpendicular from (bx, by) to the infinite line of a wall that
// is neither vertical nor horizontal, from the kept slope form if there is one.
Foot footOnSlopedLine(const Wall& wall, const SlopeForm* keptForm, float bx, float by) {
    const SlopeForm form = keptForm != nullptr ? *keptForm : slopeFormOf(wall);
    if (form.holds) {
        const float footX = ((by - form.mPerp * bx) - form.q) / form.denominator;
        const float footY = form.m * footX + form.q;
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
    const bool nearerFirst =
        squaredDistance(bx, by, wall.x1, wall.y1) <= squaredDistance(bx, by, wall.x2, wall.y2);
    const double baseX = nearerFirst ? wall.x1 : wall.x2;
    const double baseY = nearerFirst ? wall.y1 : wall.y2;
    const double t = ((bx - baseX) * dx + (by - baseY) * dy) / (dx * dx + dy * dy);
    return {float(baseX + t * dx), float(baseY + t * dy), false};
}

}  // namespace

float depthOf(const Wall& wall, const Ball& ball, const SlopeForm* keptForm) {
    const float bx = ball.x;
    const float by = ball.y;
    const float r = ball.radius;

    const float d1Squared = (wall.x1 - bx) * (wall.x1 - bx) + (wall.y1 - by) * (wall.y1 - by);
    if (d1Squared > (r + wall.length) * (r + wall.length)) {
        return noContact;
    }
    if (d1Squared <= r * r) {
        return r - std::sqrt(d1Squared);
    }
    const float d2Squared = (wall.x2 - bx) * (wall.x2 - bx) + (wall.y2 - by) * (wall.y2 - by);
    if (d2Squared <= r * r) {
        return r - std::sqrt(d2Squared);
    }
    if (wall.x1 == wall.x2) {
        const float gap = std::fabs(wall.x1 - bx);
        return between(by, wall.y1, wall.y2) && gap <= r ? r - gap : noContact;
    }
    if (wall.y1 == wall.y2) {
        const float gap = std::fabs(wall.y1 - by);
        return between(bx, wall.x1, wall.x2) && gap <= r ? r - gap : noContact;
    }
    const Foot foot = footOnSlopedLine(wall, keptForm, bx, by);
    const float fSquared = (foot.x - bx) * (foot.x - bx) + (foot.y - by) * (foot.y - by);
    // On a projected wall, very flat or very steep, one rounding step of the
    // flat coordinate spans far along the line: check the other one as well.
    const bool withinSpan = between(foot.y, wall.y1, wall.y2) &&
                            (foot.fromSlopeForm || between(foot.x, wall.x1, wall.x2));
    if (fSquared > r * r || !withinSpan) {
        return noContact;
    }
    return r - std::sqrt(fSquared);
}

void pushOutOf(const Wall& wall, Ball& ball, const SlopeForm* keptForm) {
    const float bx = ball.x;
    const float by = ball.y;
    const float r = ball.radius;

    float footX = bx;
    float footY = by;
    if (wall.x1 == wall.x2) {
        footX = wall.x1;
    } else if (wall.y1 == wall.y2) {
        footY = wall.y1;
    } else {
        const Foot foot = footOnSlopedLine(wall, keptForm, bx, by);
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
        // the wall's left, along the normal (-dirY, dirX). A wall of no
        // length, with direction (0, -1), therefore pushes towards +x.
        ux = wall.dirY;
        uy = -wall.dirX;
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
