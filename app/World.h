// The program's one world: every ball, attractor and finished wall. It lives
// for the whole run; nothing is ever removed from it.
#pragma once
#include "Attractor.h"
#include "BallSet.h"
#include "WallSet.h"

struct World {
    BallSet balls;
    AttractorSet attractors;
    WallSet walls;
};

World& world();
