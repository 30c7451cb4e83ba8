// The ball step against a plain reference: the step written out straight,
// one ball, one attractor, one wall at a time, with no packed copies, no
// candidate lists and no lanes. Long random scenes, grown and dragged between
// steps, go through both; every ball must match bit for bit after every step.
#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "World.h"

namespace reference {

// The same flatness and steepness limits as the wall code: beyond them the
// foot comes from a projection in double.
constexpr float steepestSlope = 1024.0f;
constexpr float flattestSlope = 1.0f / steepestSlope;
constexpr float interceptTermLimit = 32768.0f;

bool between(float value, float a, float b) {
    const float low = a < b ? a : b;
    const float high = a < b ? b : a;
    return low <= value && value <= high;
}

double squaredDistance(double x1, double y1, double x2, double y2) {
    return (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
}

struct Foot {
    float x, y;
    bool fromSlopeForm;
};

Foot footOnSlopedLine(const Wall& wall, float bx, float by) {
    const float m = (wall.y2 - wall.y1) / (wall.x2 - wall.x1);
    const float mX1 = m * wall.x1;
    const float steepness = std::fabs(m);
    const bool interceptHolds =
        std::fabs(mX1) <= interceptTermLimit && std::fabs(wall.y1) <= interceptTermLimit;
    if (steepness >= flattestSlope && steepness <= steepestSlope && interceptHolds) {
        const float mPerp = -1.0f / m;
        const float q = wall.y1 - mX1;
        const float footX = ((by - mPerp * bx) - q) / (m - mPerp);
        const float footY = m * footX + q;
        if (std::isfinite(footX) && std::isfinite(footY)) {
            return {footX, footY, true};
        }
    }
    const double dx = double(wall.x2) - wall.x1;
    const double dy = double(wall.y2) - wall.y1;
    const bool nearerFirst =
        squaredDistance(bx, by, wall.x1, wall.y1) <= squaredDistance(bx, by, wall.x2, wall.y2);
    const double baseX = nearerFirst ? wall.x1 : wall.x2;
    const double baseY = nearerFirst ? wall.y1 : wall.y2;
    const double t = ((bx - baseX) * dx + (by - baseY) * dy) / (dx * dx + dy * dy);
    return {float(baseX + t * dx), float(baseY + t * dy), false};
}

float penetrationDepth(const Wall& wall, const Ball& ball) {
    const float bx = ball.x;
    const float by = ball.y;
    const float r = ball.radius;
    const float d1Squared = (wall.x1 - bx) * (wall.x1 - bx) + (wall.y1 - by) * (wall.y1 - by);
    if (d1Squared > (r + wall.length) * (r + wall.length)) {
        return -1.0f;
    }
    if (d1Squared <= r * r) {
        return r - std::sqrt(d1Squared);
    }
    const float d2Squared = (wall.x2 - bx) * (wall.x2 - bx) + (wall.y2 - by) * (wall.y2 - by);
    if (d2Squared <= r * r) {
        return r - std::sqrt(d2Squared);
    }
    if (wall.x1 == wall.x2) {
        const float gap = std::fabs(wall.x1 - bx);
        return between(by, wall.y1, wall.y2) && gap <= r ? r - gap : -1.0f;
    }
    if (wall.y1 == wall.y2) {
        const float gap = std::fabs(wall.y1 - by);
        return between(bx, wall.x1, wall.x2) && gap <= r ? r - gap : -1.0f;
    }
    const Foot foot = footOnSlopedLine(wall, bx, by);
    const float fSquared = (foot.x - bx) * (foot.x - bx) + (foot.y - by) * (foot.y - by);
    const bool withinSpan = between(foot.y, wall.y1, wall.y2) &&
                            (foot.fromSlopeForm || between(foot.x, wall.x1, wall.x2));
    if (fSquared > r * r || !withinSpan) {
        return -1.0f;
    }
    return r - std::sqrt(fSquared);
}

void pushOut(const Wall& wall, Ball& ball) {
    const float bx = ball.x;
    const float by = ball.y;
    const float r = ball.radius;
    float footX = bx;
    float footY = by;
    if (wall.x1 == wall.x2) {
        footX = wall.x1;
    } else if (wall.y1 == wall.y2) {
        footY = wall.y1;
    } else {
        const Foot foot = footOnSlopedLine(wall, bx, by);
        footX = foot.x;
        footY = foot.y;
    }
    const float nx = footX - bx;
    const float ny = footY - by;
    const float l = std::sqrt(nx * nx + ny * ny + 0.0f * 0.0f);
    float ux;
    float uy;
    if (l == 0.0f) {
        ux = wall.dirY;
        uy = -wall.dirX;
    } else {
        const float k = 1.0f / std::sqrt(nx * nx + ny * ny + 0.0f * 0.0f);
        ux = nx * k;
        uy = ny * k;
    }
    const double s = r - l + 0.1;
    ball.x = float(bx - ux * s);
    ball.y = float(by - uy * s);
    ball.vx = ball.vx - 2.0f * ux;
    ball.vy = ball.vy - 2.0f * uy;
}

void pull(const Attractor& attractor, Ball& ball) {
    float dx = attractor.x - ball.x;
    float dy = attractor.y - ball.y;
    const float dz = 0.0f;
    if (dx * dx + dy * dy == 0.0f) {
        return;
    }
    const float k = 1.0f / std::sqrt(dx * dx + dy * dy + dz * dz);
    dx = dx * k;
    dy = dy * k;
    ball.fx = ball.fx + dx * attractor.pullStrength;
    ball.fy = ball.fy + dy * attractor.pullStrength;
}

void advance(Ball& ball, float dt) {
    ball.fx = ball.fx - ball.dampX * ball.vx + ball.accelX * ball.mass;
    ball.fy = ball.fy - ball.dampY * ball.vy + ball.accelY * ball.mass;
    const float ax = ball.fx * (1.0f / ball.mass);
    const float ay = ball.fy * (1.0f / ball.mass);
    ball.x = float(ball.x + ball.vx * dt + 0.5 * ax * dt * dt);
    ball.y = float(ball.y + ball.vy * dt + 0.5 * ay * dt * dt);
    ball.vx = ball.vx + ax * dt;
    ball.vy = ball.vy + ay * dt;
    if (ball.spinRate != 0.0f) {
        ball.spinAngle = ball.spinAngle + ball.spinRate;
        if (ball.spinAngle > 360.0f) {
            ball.spinAngle = ball.spinAngle - 360.0f;
        }
    }
}

void updateAttractor(Attractor& attractor, float dt) {
    attractor.x = attractor.x + dt * attractor.vx;
    attractor.y = attractor.y + dt * attractor.vy;
    if (attractor.lifetime > 0.0f) {
        attractor.lifetime = attractor.lifetime - dt;
        if (attractor.lifetime < 3.0f) {
            if (attractor.blinkTimer > 0.0f) {
                attractor.blinkTimer = attractor.blinkTimer - dt;
            } else {
                attractor.alpha = std::fabs(attractor.alpha - 1.0f);
                attractor.blinkTimer = 0.1f;
            }
        }
    }
}

// Every phase over every ball before the next, as the step is defined.
void step(std::vector<Ball>& balls, std::vector<Attractor>& attractors,
          const std::vector<Wall>& walls, const PlayRect& field, float dt) {
    for (Ball& ball : balls) {
        ball.fx = 0.0f;
        ball.fy = 0.0f;
    }
    for (Ball& ball : balls) {
        for (const Attractor& attractor : attractors) {
            pull(attractor, ball);
        }
    }
    for (Ball& ball : balls) {
        advance(ball, dt);
    }
    const float k = float(2.7 * dt);
    for (Ball& ball : balls) {
        for (const Wall& wall : walls) {
            if (penetrationDepth(wall, ball) != -1.0f) {
                pushOut(wall, ball);
            }
        }
        if (ball.x - ball.radius < field.left) {
            ball.x = field.left + ball.radius;
            ball.vx = ball.vx + k;
        } else if (ball.x + ball.radius > field.right) {
            ball.x = field.right - ball.radius;
            ball.vx = ball.vx - k;
        }
        if (ball.y - ball.radius < field.bottom) {
            ball.y = field.bottom + ball.radius;
            ball.vy = ball.vy + k;
        } else if (ball.y + ball.radius > field.top) {
            ball.y = field.top - ball.radius;
            ball.vy = ball.vy - k;
        }
    }
    for (Attractor& attractor : attractors) {
        updateAttractor(attractor, dt);
    }
}

}  // namespace reference

namespace {

using Rng = std::mt19937;

float uniform(Rng& rng, float lo, float hi) {
    return std::uniform_real_distribution<float>(lo, hi)(rng);
}

int uniformInt(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

bool chance(Rng& rng, double probability) { return std::bernoulli_distribution(probability)(rng); }

float gridX(Rng& rng) { return -50.0f + 0.15625f * float(uniformInt(rng, 0, 640)); }

float gridY(Rng& rng) { return 0.15625f * float(uniformInt(rng, 0, 480)); }

// How the walls of a scene are laid out.
enum class Layout {
    PointerGrid,  // as a player draws them: anywhere, any slope, a few to tens of units long
    Cage,         // short walls packed close, so one ball meets several in one pass
    Awkward,  // axis-aligned, zero-length, flat or steep, and off-grid walls, with balls at their
              // ends
};

Wall randomWall(Rng& rng, Layout layout) {
    switch (layout) {
    case Layout::PointerGrid: {
        const float x = gridX(rng);
        const float y = gridY(rng);
        return finishedWall(x, y, x + 0.15625f * float(uniformInt(rng, -160, 160)),
                            y + 0.15625f * float(uniformInt(rng, -160, 160)));
    }
    case Layout::Cage: {
        const float x = -20.0f + 2.5f * float(uniformInt(rng, 0, 16));
        const float y = 10.0f + 2.5f * float(uniformInt(rng, 0, 16));
        return chance(rng, 0.5)
                   ? finishedWall(x, y, x + uniform(rng, 0.0f, 6.0f), y + uniform(rng, -1.0f, 1.0f))
                   : finishedWall(x, y, x + uniform(rng, -1.0f, 1.0f),
                                  y + uniform(rng, 0.0f, 6.0f));
    }
    case Layout::Awkward:
        break;
    }
    const float x = uniform(rng, -50.0f, 50.0f);
    const float y = uniform(rng, 0.0f, 75.0f);
    const float span = uniform(rng, -30.0f, 30.0f);
    switch (uniformInt(rng, 0, 7)) {
    case 0:
        return finishedWall(x, y, x, y);
    case 1:
        return finishedWall(x, y, x, y + uniform(rng, -30.0f, 30.0f));
    case 2:
        return finishedWall(x, y, x + uniform(rng, -30.0f, 30.0f), y);
    case 3:
        return finishedWall(x, y, x + uniform(rng, -30.0f, 30.0f), y + uniform(rng, -1e-3f, 1e-3f));
    case 4:
        return finishedWall(x, y, x + uniform(rng, -1e-3f, 1e-3f), y + uniform(rng, -30.0f, 30.0f));
    case 5:  // about as flat as the slope form goes
        return finishedWall(x, y, x + span, y + span * uniform(rng, 0.00098f, 0.002f));
    case 6:  // about as steep as the slope form goes
        return finishedWall(x, y, x + span * uniform(rng, 0.00098f, 0.002f), y + span);
    default:
        return finishedWall(x, y, x + uniform(rng, -30.0f, 30.0f), y + uniform(rng, -30.0f, 30.0f));
    }
}

// Mostly balls as the program makes them; some with other radii, masses,
// damping, steady accelerations and spins, so every term of the step counts.
// Some start on an attractor's centre, and, where walls are given, some a few
// units from a wall's end, where the quick checks come closest to the edge.
Ball randomBall(Rng& rng, const std::vector<Attractor>& attractors,
                const std::vector<Wall>& nearWalls = {}) {
    Ball ball = ballAt(uniform(rng, -52.0f, 52.0f), uniform(rng, -2.0f, 80.0f));
    if (!attractors.empty() && chance(rng, 0.05)) {
        const Attractor& on = attractors[size_t(uniformInt(rng, 0, int(attractors.size()) - 1))];
        ball.x = on.x;
        ball.y = on.y;
    }
    if (!nearWalls.empty() && chance(rng, 0.5)) {
        const Wall& wall = nearWalls[size_t(uniformInt(rng, 0, int(nearWalls.size()) - 1))];
        const bool first = chance(rng, 0.5);
        ball.x = (first ? wall.x1 : wall.x2) + uniform(rng, -4.0f, 4.0f);
        ball.y = (first ? wall.y1 : wall.y2) + uniform(rng, -4.0f, 4.0f);
    }
    ball.vx = uniform(rng, -15.0f, 15.0f);
    ball.vy = uniform(rng, -15.0f, 15.0f);
    if (chance(rng, 0.2)) {
        ball.radius = uniform(rng, 0.25f, 4.0f);
        ball.mass = uniform(rng, 0.5f, 3.0f);
        ball.dampX = uniform(rng, 0.0f, 0.5f);
        ball.dampY = uniform(rng, 0.0f, 0.5f);
        ball.accelX = uniform(rng, -3.0f, 3.0f);
        ball.accelY = uniform(rng, -9.8f, 0.0f);
        ball.spinRate = uniform(rng, -20.0f, 20.0f);
    }
    return ball;
}

Attractor randomAttractor(Rng& rng) {
    Attractor attractor;
    attractor.x = gridX(rng);
    attractor.y = gridY(rng);
    if (chance(rng, 0.2)) {
        attractor.lifetime = uniform(rng, 0.5f, 4.0f);  // counts down and blinks
        attractor.vx = uniform(rng, -2.0f, 2.0f);
        attractor.vy = uniform(rng, -2.0f, 2.0f);
    }
    return attractor;
}

float randomStep(Rng& rng) {
    switch (uniformInt(rng, 0, 9)) {
    case 0:
        return 0.0f;
    case 1:
        return 0.12f;
    default:
        return float(uniformInt(rng, 1, 120)) * 0.001f;
    }
}

std::string describe(const Ball& ball) {
    std::ostringstream text;
    text.precision(9);
    text << "x " << ball.x << " y " << ball.y << " vx " << ball.vx << " vy " << ball.vy << " fx "
         << ball.fx << " fy " << ball.fy << " radius " << ball.radius << " spin " << ball.spinAngle;
    return text.str();
}

// One scene run through the program's sets and the reference side by side.
// Between steps it grows (balls, attractors, walls are appended) and an
// attractor is dragged, as the player does between frames.
struct Scene {
    World program;
    std::vector<Ball> balls;
    std::vector<Attractor> attractors;
    std::vector<Wall> walls;

    void addBall(const Ball& ball) {
        balls.push_back(ball);
        program.balls.append(new Ball(ball));
    }

    void addAttractor(const Attractor& attractor) {
        attractors.push_back(attractor);
        program.attractors.append(new Attractor(attractor));
    }

    void addWall(const Wall& wall) {
        walls.push_back(wall);
        program.walls.append(new Wall(wall));
    }

    void drag(size_t index, float x, float y) {
        attractors[index].x = x;
        attractors[index].y = y;
        program.attractors.members()[index]->x = x;
        program.attractors.members()[index]->y = y;
    }

    void step(float dt) {
        reference::step(balls, attractors, walls, program.field, dt);
        program.balls.step(dt, program.attractors, program.walls, program.field);
        program.attractors.step(dt);
    }
};

// Runs one seeded scene, comparing every ball and attractor after each step.
void runScene(unsigned seed, Layout layout, int ballCount, int attractorCount, int wallCount,
              int steps) {
    Rng rng(seed);
    Scene scene;
    for (int i = 0; i < attractorCount; ++i) {
        scene.addAttractor(randomAttractor(rng));
    }
    for (int i = 0; i < wallCount; ++i) {
        scene.addWall(randomWall(rng, layout));
    }
    const std::vector<Wall> nearWalls =
        layout == Layout::Awkward ? scene.walls : std::vector<Wall>{};
    for (int i = 0; i < ballCount; ++i) {
        scene.addBall(randomBall(rng, scene.attractors, nearWalls));
    }
    for (int s = 0; s < steps; ++s) {
        if (chance(rng, 0.05)) {
            scene.addBall(randomBall(rng, scene.attractors, nearWalls));
        }
        if (chance(rng, 0.02)) {
            scene.addAttractor(randomAttractor(rng));
        }
        if (chance(rng, 0.03)) {
            scene.addWall(randomWall(rng, layout));
        }
        if (!scene.attractors.empty() && chance(rng, 0.1)) {
            scene.drag(size_t(uniformInt(rng, 0, int(scene.attractors.size()) - 1)), gridX(rng),
                       gridY(rng));
        }
        scene.step(randomStep(rng));

        const std::vector<Ball*>& programBalls = scene.program.balls.members();
        ASSERT_EQ(programBalls.size(), scene.balls.size());
        for (size_t b = 0; b < scene.balls.size(); ++b) {
            ASSERT_EQ(std::memcmp(programBalls[b], &scene.balls[b], sizeof(Ball)), 0)
                << "seed " << seed << " step " << s << " ball " << b << "\n  program   "
                << describe(*programBalls[b]) << "\n  reference " << describe(scene.balls[b]);
        }
        const std::vector<Attractor*>& programAttractors = scene.program.attractors.members();
        for (size_t a = 0; a < scene.attractors.size(); ++a) {
            ASSERT_EQ(std::memcmp(programAttractors[a], &scene.attractors[a], sizeof(Attractor)), 0)
                << "seed " << seed << " step " << s << " attractor " << a;
        }
    }
}

// The contacts the reference sees in a scene, counted on a copy: proof that
// a scene kind really puts balls against walls, several in one pass.
struct ContactCount {
    long contacts = 0;
    long passesWithSeveral = 0;
};

ContactCount countContacts(unsigned seed, Layout layout, int ballCount, int wallCount) {
    Rng rng(seed);
    std::vector<Wall> walls;
    for (int i = 0; i < wallCount; ++i) {
        walls.push_back(randomWall(rng, layout));
    }
    ContactCount count;
    for (int i = 0; i < ballCount; ++i) {
        Ball ball = randomBall(rng, {}, layout == Layout::Awkward ? walls : std::vector<Wall>{});
        int inPass = 0;
        for (const Wall& wall : walls) {
            if (reference::penetrationDepth(wall, ball) != -1.0f) {
                reference::pushOut(wall, ball);
                ++inPass;
            }
        }
        count.contacts += inPass;
        count.passesWithSeveral += inPass > 1 ? 1 : 0;
    }
    return count;
}

TEST(StepMatchesReference, ScenesDrawnOnThePointerGrid) {
    for (unsigned seed : {101u, 102u, 103u}) {
        runScene(seed, Layout::PointerGrid, 300, 10, 100, 400);
    }
}

TEST(StepMatchesReference, CrowdedWallsWithSeveralContactsPerPass) {
    const ContactCount count = countContacts(201u, Layout::Cage, 2000, 150);
    EXPECT_GT(count.passesWithSeveral, 200)
        << "the cage scene no longer crowds balls against several walls";
    for (unsigned seed : {201u, 202u, 203u}) {
        runScene(seed, Layout::Cage, 300, 3, 150, 400);
    }
}

TEST(StepMatchesReference, AwkwardWallsAndUnusualBalls) {
    const ContactCount count = countContacts(301u, Layout::Awkward, 2000, 60);
    EXPECT_GT(count.contacts, 200) << "the awkward scene no longer puts balls against its walls";
    for (unsigned seed : {301u, 302u, 303u}) {
        runScene(seed, Layout::Awkward, 200, 4, 60, 400);
    }
}

TEST(StepMatchesReference, WallCountsAroundEveryBlockSize) {
    // Counts that fill packed blocks exactly, leave one over or fall one short.
    for (int wallCount : {0, 1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33}) {
        runScene(400u + unsigned(wallCount), Layout::Cage, 120, 2, wallCount, 150);
    }
}

TEST(StepMatchesReference, EmptySetsAndSingleMembers) {
    runScene(501u, Layout::PointerGrid, 0, 0, 0, 20);
    runScene(502u, Layout::PointerGrid, 1, 0, 0, 100);
    runScene(503u, Layout::PointerGrid, 1, 1, 1, 100);
    runScene(504u, Layout::PointerGrid, 50, 0, 20, 100);
}

}  // namespace
