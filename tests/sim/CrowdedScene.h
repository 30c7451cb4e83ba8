// The crowded scenes whose hashes must come out the same on every platform:
// walls of every slope and length, moving attractors, hundreds of balls, long
// and short steps, all drawn from a seeded generator that gives the same
// numbers everywhere. The recorded hashes came from the plain reference step.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "Attractor.h"
#include "Ball.h"
#include "BallSet.h"
#include "WallSet.h"

constexpr PlayRect field{-50.0f, 50.0f, 0.0f, 75.0f};

// The same numbers from a seed on every platform.
inline float uniform(std::mt19937& rng, float low, float high) {
    return low + (high - low) * float(rng() >> 8) * 0x1p-24f;
}
inline float gridX(std::mt19937& rng) { return -50.0f + 0.15625f * float(rng() % 641); }
inline float gridY(std::mt19937& rng) { return 0.15625f * float(rng() % 481); }

inline Wall wallFrom(float x1, float y1, float x2, float y2) {
    Wall wall{x1, y1, x2, y2};
    wall.finish();
    return wall;
}

// Walls of every kind the step must handle: drawn on the pointer's grid,
// along an axis, a hair off an axis, far out, of no length, short, longer
// than a float can measure, shorter than a float square can.
inline Wall randomWall(std::mt19937& rng, int kind) {
    // Drawn in the order written (braces and declarations fix it), so that a
    // seed gives the same scene whatever the compiler.
    const float grid[4] = {gridX(rng), gridY(rng), gridX(rng), gridY(rng)};
    const float x = uniform(rng, -55, 55), y = uniform(rng, -5, 80), far = uniform(rng, 50, 4e4f);
    const float dx = uniform(rng, -1, 1), dy = uniform(rng, -1, 1);
    const float hair = std::pow(10.0f, uniform(rng, -6, -2));
    const Wall kinds[] = {wallFrom(grid[0], grid[1], grid[2], grid[3]),
                          wallFrom(x, y, x, grid[1]),
                          wallFrom(x, y, grid[0], y + hair),
                          wallFrom(x, y, x - hair, grid[1]),
                          wallFrom(-far, y, far * 0.7f, y + 9),
                          wallFrom(x, y, x, y),
                          wallFrom(-3e38f, y - 1e37f, 3e38f, y + 1e37f),
                          wallFrom(x, y, x + hair * 1e-28f, y - hair * 1e-28f),
                          wallFrom(x, y, x + dx, y + dy)};
    return kinds[kind % 9];
}

// A scene grown, dragged and stepped with the step times a frame can have.
struct Scene {
    BallSet balls;
    AttractorSet attractors;
    WallSet walls;

    // A ball in or about the field; an unusual one damped, pushed along,
    // spinning and of another mass.
    void addBall(std::mt19937& rng, bool unusual) {
        Ball* ball = new Ball{uniform(rng, -60, 60), uniform(rng, -10, 85)};
        balls.append(ball);
        if (!unusual) return;
        for (float* damp : {&ball->dampX, &ball->dampY}) *damp = uniform(rng, 0, 1);
        for (float* accel : {&ball->accelX, &ball->accelY}) *accel = uniform(rng, -5, 5);
        ball->mass = uniform(rng, 0.5, 3);
        ball->spinRate = uniform(rng, 0, 90);
    }

    void step(float dt) {
        balls.step(dt, attractors, walls, field);
        attractors.step(dt);
    }
};

// The hash of every ball's and attractor's final state in the scene of `seed`.
inline uint64_t runScene(unsigned seed) {
    std::mt19937 rng(seed);
    Scene scene;
    for (int i = 0; i < 60; ++i) scene.walls.append(new Wall(randomWall(rng, i)));
    // Attractors of radius 2 on the pointer's grid, moving, with a lifetime to blink out.
    for (int i = 0; i < 4; ++i)
        scene.attractors.append(new Attractor{gridX(rng), gridY(rng), uniform(rng, -3, 3),
                                              uniform(rng, -3, 3), 2.0f, uniform(rng, -1, 8)});
    for (int i = 0; i < 300; ++i) scene.addBall(rng, i % 5 == 0);
    scene.attractors.members()[0]->y = 30;
    scene.balls.append(new Ball{scene.attractors.members()[0]->x, 30});  // on its centre
    for (int i = 0; i < 500; ++i) {
        if (i % 50 == 0) scene.addBall(rng, false);
        if (i % 70 == 0) scene.attractors.members()[1]->x = gridX(rng);
        scene.step(i % 9 == 0 ? 0.0f : uniform(rng, 0, 0.12f));
    }
    uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a over the values' bits
    const auto mix = [&hash](float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        hash = (hash ^ bits) * 0x100000001b3ull;
    };
    for (const Ball* b : scene.balls.members())
        for (float value : {b->x, b->y, b->vx, b->vy, b->fx, b->fy, b->spinAngle}) mix(value);
    for (const Attractor* a : scene.attractors.members())
        for (float value : {a->x, a->y, a->alpha, a->blinkTimer, a->lifetime}) mix(value);
    return hash;
}

// The hashes of scenes 1, 2 and 3.
constexpr unsigned long long recordedHashes[] = {18093254207769711140u, 10421606444720667515u,
                                                 9298451913610418639u};
