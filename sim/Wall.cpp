// Walls: finishing a drawn segment, the ball contact test and the push-out.
#include "Wall.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Ball.h"
#include "FloatBounds.h"
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

bool between(float value, float a, float b) {
    return std::min(a, b) <= value && value <= std::max(a, b);
}

struct Foot {
    float x, y;
    bool fromSlopeForm;
};

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

// Foot of the perpendicular from (bx, by) to the infinite line of a wall that
// is neither vertical nor horizontal. formOf() gives the wall's slope form,
// computed afresh or kept from when the wall was appended.
template <typename FormOf>
Foot footOnSlopedLine(const Wall& wall, FormOf formOf, float bx, float by) {
    const SlopeForm form = formOf();
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

template <typename FormOf>
float depthOf(const Wall& wall, const Ball& ball, FormOf formOf) {
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
    const Foot foot = footOnSlopedLine(wall, formOf, bx, by);
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

template <typename FormOf>
void pushOutOf(const Wall& wall, Ball& ball, FormOf formOf) {
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
        const Foot foot = footOnSlopedLine(wall, formOf, bx, by);
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
        // the wall's left, the normal (-wall.dirY, wall.dirX). A zero-wall.length wall, with
        // direction (0, -1), therefore pushes towards +x.
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

// Where a ball's centre must lie to touch a wall at all: every contact the
// full test can report puts the centre within the ball's radius of a point
// whose coordinates lie in this box. The caps and the axis-aligned and
// projected cases check their foot against the wall's own span; a foot from
// the slope form is only checked in y, and its x is where the rounded line
// y = m*x + q reaches that y: the x range of the line over the wall's y span,
// widened by the rounding of m*x and of the sum (at most 2^-23 of |y| + |q|)
// divided by |m|, allowed for twice over.
ContactBox contactBoxOf(const Wall& wall) {
    ContactBox box{std::min(wall.x1, wall.x2), std::max(wall.x1, wall.x2),
                   std::min(wall.y1, wall.y2), std::max(wall.y1, wall.y2)};
    if (wall.x1 == wall.x2 || wall.y1 == wall.y2) {
        return box;
    }
    const SlopeForm form = slopeFormOf(wall);
    if (!form.holds) {
        return box;
    }
    const double m = form.m;
    const double q = form.q;
    const double atBottom = (double(box.bottom) - q) / m;
    const double atTop = (double(box.top) - q) / m;
    const double highestY = std::max(std::fabs(double(wall.y1)), std::fabs(double(wall.y2)));
    const double slack = 4.0 * 0x1p-24 * (highestY + std::fabs(q) + 1.0) / std::fabs(m);
    const double lineLeft = std::min(atBottom, atTop) - slack;
    const double lineRight = std::max(atBottom, atTop) + slack;
    if (!std::isfinite(lineLeft) || !std::isfinite(lineRight)) {
        return {-INFINITY, INFINITY, box.bottom, box.top};
    }
    box.left = std::min(box.left, floatAtOrBelow(lineLeft));
    box.right = std::max(box.right, floatAtOrAbove(lineRight));
    return box;
}

// How close to a wall's line y = m*x + q a ball's centre must lie to touch it
// through a foot from the slope form. Such a foot F is within the reach R of
// the centre in x and in y, and is on the rounded line: |m*Fx + q - Fy| is at
// most 2 ulps of (|Fy| + |q|), with |Fy| at most the larger |y| of the ends.
// So |m*x + q - y| <= R*(1 + |m|) + that rounding for the centre. Walls whose
// foot never comes from the slope form get an infinite width: no limit.

LineBand lineBandOf(const Wall& wall) {
    const LineBand unlimited{0.0f, 0.0f, INFINITY, 0.0f};
    if (wall.x1 == wall.x2 || wall.y1 == wall.y2) {
        return unlimited;
    }
    const SlopeForm form = slopeFormOf(wall);
    if (!form.holds) {
        return unlimited;
    }
    const double highestY = std::max(std::fabs(double(wall.y1)), std::fabs(double(wall.y2)));
    const double rounding = 1e-6 * (highestY + std::fabs(double(form.q))) + 1e-30;
    return {form.m, form.q, floatAtOrAbove(1.0 + std::fabs(double(form.m))),
            floatAtOrAbove(rounding)};
}

// How far from the box a ball's centre may be and still touch: its radius,
// made larger by more than the few ulps the full test's squares and sums can
// lose (rounding the product to float loses less than one in 10^7 of it).
// Past 1e18 the squares overflow and compare as infinite, and below 1e-15
// they could vanish: those reach everywhere, or at least 1e-15.
float contactReach(float radius) {
    const double reach = std::fabs(double(radius)) * (1.0 + 2e-6);
    if (!(reach < 1e18)) {
        return INFINITY;
    }
    return float(std::max(reach, 1e-15));
}

// Beyond this the slope form's foot may overflow and come from the
// projection instead, which the line band does not bound.
constexpr float lineBandLimit = 1e30f;

// Two quick checks, each conservative: a wall is passed over only where the
// full test cannot report a contact. The box check compares rounded sums with
// float bounds, and rounding to nearest never carries a sum across a bound it
// did not cross exactly. The band check allows for its own rounding, a few
// ulps of |m*x| + |q| + |y|, with room to spare.
bool mayTouch(const ContactZone& zone, const Ball& ball, float reach) {
    const ContactBox& box = zone.box;
    if (ball.x + reach < box.left || ball.x - reach > box.right || ball.y + reach < box.bottom ||
        ball.y - reach > box.top) {
        return false;
    }
    if (!(std::fabs(ball.x) < lineBandLimit && std::fabs(ball.y) < lineBandLimit)) {
        return true;
    }
    const LineBand& line = zone.band;
    const float sizeOfCentre = std::fabs(ball.x) + std::fabs(ball.y);
    const float offLine = std::fabs((line.m * ball.x + line.q) - ball.y);
    const float ownRounding =
        1e-6f * (std::fabs(line.m) * sizeOfCentre + std::fabs(line.q) + sizeOfCentre);
    const float band = (reach * line.width + line.rounding + ownRounding) * (1.0f + 1e-5f);
    return !(offLine > band);
}

}  // namespace

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

float Wall::penetrationDepth(const Ball& ball) const {
    return depthOf(*this, ball, [this] { return slopeFormOf(*this); });
}

void Wall::pushOut(Ball& ball) const {
    pushOutOf(*this, ball, [this] { return slopeFormOf(*this); });
}

WallSet::~WallSet() {
    for (Wall* wall : walls_) {
        delete wall;
    }
}

void WallSet::append(Wall* wall) {
    walls_.push_back(wall);
    slopeForms_.push_back(slopeFormOf(*wall));
    zones_.push_back({contactBoxOf(*wall), lineBandOf(*wall)});
    grid_.add(zones_.back().box);
}

// Walls in insertion order, each tested against the ball as the earlier ones
// left it. Only the walls near the ball are looked at, and of those only the
// ones it may touch get the full test; no wall passed over could have
// touched it.
void WallSet::collide(Ball& ball) const {
    const float reach = contactReach(ball.radius);
    const std::vector<uint32_t>* nearby = &grid_.candidates(ball.x, ball.y, reach);
    for (size_t next = 0; next < nearby->size();) {
        const uint32_t index = (*nearby)[next++];
        if (!mayTouch(zones_[index], ball, reach)) {
            continue;
        }
        const Wall& wall = *walls_[index];
        const auto keptForm = [this, index] { return slopeForms_[index]; };
        if (depthOf(wall, ball, keptForm) != noContact) {
            pushOutOf(wall, ball, keptForm);
            // The ball has moved: the later walls are the ones near where it is now.
            nearby = &grid_.candidates(ball.x, ball.y, reach);
            next =
                size_t(std::upper_bound(nearby->begin(), nearby->end(), index) - nearby->begin());
        }
    }
}
