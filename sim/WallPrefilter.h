// The wall set's quick checks: where a ball's centre must lie to touch a wall
// at all, worked out once per wall, and the check of a ball against it. A
// wall they pass over is one the full contact test could not have found in
// contact (WallPrefilter.cpp says why).
#pragma once
#include "WallGrid.h"

struct Ball;
struct Wall;

// How close to a wall's line y = m*x + q a ball's centre must lie to touch it
// through a foot from the slope form.
struct LineBand {
    float m, q;
    float width;     // 1 + |m|, the factor of the ball's reach
    float rounding;  // bound of the line's own rounding, allowed for eight times over
};

// Where a ball's centre must lie to touch a wall: inside the box and the band,
// each widened by the ball's reach.
struct ContactZone {
    ContactBox box;
    LineBand band;
};

ContactZone contactZoneOf(const Wall& wall);

// How far from a wall's contact box a ball of this radius may be and touch.
float contactReach(float radius);

// False only where the full test cannot find the ball in contact.
bool mayTouch(const ContactZone& zone, const Ball& ball, float reach);
