// What the player does to the world: draw walls with two left presses, drag
// attractors, add balls ('m') and attractors ('a'). Every finished wall is
// traced as one line on standard output.
#pragma once
#include <cstdint>

struct Wall;

// 0 idle, 1 drawing a wall, 2 dragging the grabbed attractor.
extern int32_t EditMode;
// The wall being drawn, not yet in the world; null when none.
extern Wall* PendingWall;

void editButton(float worldX, float worldY, bool leftPressed, bool rightPressed, bool isDown);
void editMove(float worldX, float worldY, bool leftHeld, bool rightHeldAlone);
void editKey(unsigned char key);
