// Walls: straight segments that push overlapping balls clear of their line
// and kick them away from it.
#pragma once

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
