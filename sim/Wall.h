// Walls: straight segments that push overlapping balls clear of their line
// and kick them away from it.
#pragma once
#include <vector>

#include "WallGrid.h"

struct Ball;

constexpr float noContact = -1.0f;
constexpr double contactMargin = 0.1;  // clearance left between ball rim and wall line
constexpr float bounceKick = 2.0f;     // speed added away from the wall on each contact

struct Wall {
    float x1 = 0.0f, y1 = 0.0f;      // first end point
    float x2 = 0.0f, y2 = 0.0f;      // second end point
    float dirX = 0.0f, dirY = 0.0f;  // unit direction from first to second end, set by finish
    float length = 0.0f;
    float thickness = 1.0f;  // drawn width; collisions treat the wall as a segment

    void finish();
    float penetrationDepth(const Ball& ball) const;  // depth >= 0, or noContact
    void pushOut(Ball& ball) const;

    void drawRubberBand() const;  // render/
};

// A wall's line as y = m*x + q, with the perpendicular slope -1/m and the
// denominator m - (-1/m) of the foot of a perpendicular. `holds` says whether
// the form is well conditioned enough to be used (see Wall.cpp).
struct SlopeForm {
    float m, mPerp, q, denominator;
    bool holds;
};

// How close to a wall's line y = m*x + q a ball's centre must lie to touch it
// through a foot from the slope form (see Wall.cpp).
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

// Append-only; owns its walls and frees them only when the set itself goes.
// A wall is fixed once appended, so the set keeps beside the pointers its
// slope form, the zone a ball's centre must reach to touch it, and a grid that
// tells which walls are near a point.
class WallSet {
public:
    WallSet() = default;
    WallSet(const WallSet&) = delete;
    WallSet& operator=(const WallSet&) = delete;
    ~WallSet();

    void append(Wall* wall);
    void collide(Ball& ball) const;

    const std::vector<Wall*>& members() const { return walls_; }

    static void setUp();  // render/: walls have no picture
    void draw() const;    // render/

private:
    std::vector<Wall*> walls_;
    std::vector<SlopeForm> slopeForms_;  // one per wall, in the order of walls_
    std::vector<ContactZone> zones_;     // likewise
    WallGrid grid_;
};
