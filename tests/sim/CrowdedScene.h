// The crowded scenes whose hashes must come out the same on every platform:
// walls of every slope and length, moving attractors, hundreds of balls, long
// and short steps, all drawn from a seeded generator that gives the same
// numbers everywhere. The recorded hashes came from the plain reference step.
#pragma once
#include <cstdint>
#include <random>
#include <utility>

#include "Attractor.h"
#include "Ball.h"
#include "BallSet.h"
#include "WallSet.h"

constexpr PlayRect field{-50.0f, 50.0f, 0.0f, 75.0f};

using Rng = std::mt19937;

float uniform(Rng& rng, float low, float high);
float gridX(Rng& rng);  // on the pointer's grid
float gridY(Rng& rng);

Wall wallFrom(float x1, float y1, float x2, float y2);
// One of nine kinds of wall, by `kind` modulo 9.
Wall randomWall(Rng& rng, int kind);

// A scene grown, dragged and stepped with the step times a frame can have.
struct Scene {
    BallSet balls;
    AttractorSet attractors;
    WallSet walls;

    void addBall(Rng& rng, bool unusual);
    void step(float dt);
};

// The hash of every ball's and attractor's final state in the scene of `seed`.
uint64_t runScene(unsigned seed);

constexpr std::pair<unsigned, uint64_t> recordedScenes[] = {
    {1, 18093254207769711140u}, {2, 10421606444720667515u}, {3, 9298451913610418639u}};
