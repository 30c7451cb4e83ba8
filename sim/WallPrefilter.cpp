// The wall set's quick checks, and why each is conservative: a wall they
// pass over is one the full contact test could not have found in contact.
#include "WallPrefilter.h"

#include <algorithm>
#include <cmath>

#include "Ball.h"
#include "FloatBounds.h"
#include "Wall.h"
#include "WallContact.h"

namespace {

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
    // Finite: float ends and a slope of at least 1/1024 keep them far inside a double's range.
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

// Beyond this the slope form's foot may overflow and come from the
// projection instead, which the line band does not bound.
constexpr float lineBandLimit = 1e30f;

}  // namespace

ContactZone contactZoneOf(const Wall& wall) { return {contactBoxOf(wall), lineBandOf(wall)}; }

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
