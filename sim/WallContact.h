// How a ball meets one wall, written once for a lone wall and for the wall
// set: the slope form of a sloped wall's line, the contact test and the
// push-out. The set hands in the slope form it kept when the wall was
// appended; a lone wall forms it only when a ball comes close enough to need it.
#pragma once

struct Ball;
struct Wall;

// A wall's line as y = m*x + q, with the perpendicular slope -1/m and the
// denominator m - (-1/m) of the foot of a perpendicular. `holds` says whether
// the form is well conditioned enough to be used (see WallContact.cpp).
struct SlopeForm {
    float m, mPerp, q, denominator;
    bool holds;
};

SlopeForm slopeFormOf(const Wall& wall);

// The contact test (a depth >= 0, or noContact) and the push-out of a ball in
// contact. keptForm is the wall's slope form as the set kept it, or null.
float depthOf(const Wall& wall, const Ball& ball, const SlopeForm* keptForm);
void pushOutOf(const Wall& wall, Ball& ball, const SlopeForm* keptForm);
