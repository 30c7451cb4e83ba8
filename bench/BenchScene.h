// The scene both benchmarks measure, as a player would build it: balls spread
// over the field and moving, attractors and wall ends on the pointer grid
// (0.15625 units per pixel), walls a few to some tens of units long. The same
// counts always give the same scene.
#pragma once
#include <algorithm>
#include <random>

#include "Attractor.h"
#include "Ball.h"
#include "BallSet.h"
#include "Wall.h"
#include "WallSet.h"

inline void buildBenchScene(BallSet& balls, AttractorSet& attractors, WallSet& walls, int ballCount,
                            int attractorCount, int wallCount) {
    std::mt19937 rng(20240611u + unsigned(ballCount * 131 + attractorCount * 17 + wallCount));
    std::uniform_int_distribution<int> pixelX(0, 640);
    std::uniform_int_distribution<int> pixelY(0, 480);
    std::uniform_int_distribution<int> wallReach(-160, 160);  // pixels
    std::uniform_real_distribution<float> spreadX(-48.0f, 48.0f);
    std::uniform_real_distribution<float> spreadY(2.0f, 73.0f);
    std::uniform_real_distribution<float> speed(-10.0f, 10.0f);
    const auto gridX = [](int pixel) { return -50.0f + 0.15625f * float(pixel); };
    const auto gridY = [](int pixel) { return 75.0f - 0.15625f * float(pixel); };

    for (int i = 0; i < attractorCount; ++i) {
        Attractor* attractor = new Attractor;
        attractor->x = gridX(pixelX(rng));
        attractor->y = gridY(pixelY(rng));
        attractors.append(attractor);
    }
    for (int i = 0; i < wallCount; ++i) {
        Wall* wall = new Wall;
        const int startX = pixelX(rng);
        const int startY = pixelY(rng);
        wall->x1 = gridX(startX);
        wall->y1 = gridY(startY);
        wall->x2 = gridX(std::clamp(startX + wallReach(rng), 0, 640));
        wall->y2 = gridY(std::clamp(startY + wallReach(rng), 0, 480));
        wall->finish();
        walls.append(wall);
    }
    for (int i = 0; i < ballCount; ++i) {
        Ball* ball = new Ball;
        ball->x = spreadX(rng);
        ball->y = spreadY(rng);
        ball->vx = speed(rng);
        ball->vy = speed(rng);
        balls.append(ball);
    }
}
