// Simulation soak: millions of ball steps over random worlds of a few hundred
// balls, with attractors dragged about and walls of every kind, degenerate
// ones included, while balls, walls and attractors keep being added and the
// frame time ranges over [0, 0.12]. After every step every ball must be
// finite and wholly inside the field. Failures name the world's seed.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "RandomScene.h"
#include "World.h"

namespace {

// The sanitized build runs the step ten times slower or more: fewer steps
// per world there, so the soak stays within a few minutes.
#ifdef TUMBLEWELL_SANITIZED
constexpr int stepsPerWorld = 1500;
#else
constexpr int stepsPerWorld = 8000;
#endif
constexpr int worldCount = 40;
constexpr long long leastBallSteps = 1000000;

// A point the pointer can put an attractor on, the field's edges included,
// where a drag that leaves the window holds it.
void placeOnGrid(Rng& rng, Attractor& attractor) {
    attractor.x = chance(rng, 0.1) ? (chance(rng, 0.5) ? -50.0f : 50.0f) : gridX(rng);
    attractor.y = chance(rng, 0.1) ? (chance(rng, 0.5) ? 0.0f : 75.0f) : gridY(rng);
}

Wall anyWall(Rng& rng) {
    const int kind = uniformInt(rng, 0, wallKindCount);
    return kind < wallKindCount
               ? randomWall(rng, WallKind(kind))
               : finishedWall(anyFinite(rng), anyFinite(rng), gridX(rng), gridY(rng));
}

// As the key drops it, on an attractor, on a wall's end, or anywhere in the field.
void addRandomBall(Rng& rng, World& world) {
    const auto& attractors = world.attractors.members();
    const auto& walls = world.walls.members();
    const int placement = uniformInt(rng, 0, 3);
    if (placement == 1 && !attractors.empty()) {
        const Attractor* on = attractors[uniformInt(rng, 0, int(attractors.size()) - 1)];
        world.addBall(on->x, on->y);
    } else if (placement == 2 && !walls.empty()) {
        const Wall* on = walls[uniformInt(rng, 0, int(walls.size()) - 1)];
        world.addBall(on->x1, on->y1);
    } else if (placement == 3) {
        world.addBall(uniform(rng, -48, 48), uniform(rng, 2, 73));
    } else {
        world.addBall(0.0f, 80.0f);
    }
}

float randomFrameTime(Rng& rng) {
    const int kind = uniformInt(rng, 0, 19);
    if (kind == 0) {
        return 0.0f;
    }
    if (kind == 1) {
        return 0.12f;
    }
    if (kind == 2) {
        return std::pow(10.0f, uniform(rng, -9.0f, -3.0f));
    }
    return uniform(rng, 0.0f, 0.12f);
}

struct SoakRun {
    long long steps = 0;
    long long ballSteps = 0;
    std::string failure;  // empty while every ball passed
};

// Plays one world for `steps` frames; stops at the first ball that is not
// finite or not inside the field after a step.
void soakWorld(unsigned seed, int steps, SoakRun& run) {
    Rng rng(seed);
    World world;
    for (int i = uniformInt(rng, 0, 12); i > 0; --i) {
        placeOnGrid(rng, world.addAttractor(0.0f, 0.0f));
    }
    for (int i = uniformInt(rng, 0, 60); i > 0; --i) {
        world.walls.append(new Wall(anyWall(rng)));
    }
    for (int i = uniformInt(rng, 100, 300); i > 0; --i) {
        addRandomBall(rng, world);
    }

    Attractor* dragged = nullptr;
    int dragStepsLeft = 0;
    for (int step = 0; step < steps; ++step) {
        const auto& attractors = world.attractors.members();
        if (dragged == nullptr && !attractors.empty() && chance(rng, 0.005)) {
            dragged = attractors[uniformInt(rng, 0, int(attractors.size()) - 1)];
            dragStepsLeft = uniformInt(rng, 1, 120);
        }
        if (dragged != nullptr) {
            // Between frames the pointer moves a little, or jumps.
            if (chance(rng, 0.8)) {
                dragged->x = std::clamp(dragged->x + 0.15625f * float(uniformInt(rng, -8, 8)),
                                        -50.0f, 50.0f);
                dragged->y =
                    std::clamp(dragged->y + 0.15625f * float(uniformInt(rng, -8, 8)), 0.0f, 75.0f);
            } else {
                placeOnGrid(rng, *dragged);
            }
            if (--dragStepsLeft == 0) {
                dragged = nullptr;
            }
        }
        if (chance(rng, 0.01) && world.balls.members().size() < 400) {
            addRandomBall(rng, world);
        }
        if (chance(rng, 0.0005)) {
            world.walls.append(new Wall(anyWall(rng)));
        }
        if (chance(rng, 0.0005)) {
            world.addAttractor(0.0f, 30.0f);  // as the key adds it
        }

        const float dt = randomFrameTime(rng);
        world.step(dt);
        world.attractors.step(dt);
        ++run.steps;
        const auto& balls = world.balls.members();
        run.ballSteps += static_cast<long long>(balls.size());
        for (size_t i = 0; i < balls.size(); ++i) {
            const Ball& ball = *balls[i];
            if (finite(ball) && insideField(ball, world.field)) {
                continue;
            }
            std::ostringstream out;
            out.precision(9);
            out << "seed " << seed << " step " << step << " dt " << dt << " ball " << i << " of "
                << balls.size() << (finite(ball) ? " left the field" : " is not finite") << ": at ("
                << ball.x << ", " << ball.y << ") v (" << ball.vx << ", " << ball.vy << "); "
                << attractors.size() << " attractors, " << world.walls.members().size() << " walls";
            run.failure = out.str();
            return;
        }
    }
}

}  // namespace

TEST(SimulationSoak, EveryBallStaysFiniteAndInsideTheFieldAfterEveryStep) {
    SoakRun run;
    const auto start = std::chrono::steady_clock::now();
    for (unsigned world = 0; world < worldCount; ++world) {
        soakWorld(5000 + world, stepsPerWorld, run);
        ASSERT_EQ(run.failure, "");
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "soak: " << worldCount << " worlds, " << run.steps << " steps, " << run.ballSteps
              << " ball steps in " << seconds << " s" << std::endl;
    EXPECT_GE(run.ballSteps, leastBallSteps);
}
