// Property tests over seeded random walls, balls and whole worlds, judged by
// brute-force references: contacts, push-outs, finiteness, containment in the
// field and bit-identical repeat runs. Every failure names its seed and case.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "RandomScene.h"
#include "ReferenceGeometry.h"
#include "World.h"

namespace {

// A ball whose centre lies within a few radii of the wall: beside it, beyond
// its ends, and now and then exactly on its line.
Ball ballNear(Rng& rng, const Wall& wall) {
    const float r = Ball().radius;
    const long double dx = (long double)wall.x2 - wall.x1;
    const long double dy = (long double)wall.y2 - wall.y1;
    const long double length = std::hypot(dx, dy);
    if (length == 0.0L) {
        return ballAt(wall.x1 + uniform(rng, -1.3f * r, 1.3f * r),
                      wall.y1 + uniform(rng, -1.3f * r, 1.3f * r));
    }
    const bool onLine = chance(rng, 0.05);
    const long double along = onLine ? uniform(rng, 0.0f, 1.0f) * length
                                     : uniform(rng, -1.3f * r, float(length) + 1.3f * r);
    const long double across = onLine ? 0.0f : uniform(rng, -1.3f * r, 1.3f * r);
    return ballAt(float(wall.x1 + (along * dx - across * dy) / length),
                  float(wall.y1 + (along * dy + across * dx) / length));
}

// How far rounding may move the contact boundary: it grows with the size of
// the coordinates and stays within a few hundred-thousandths near the field.
long double boundaryTolerance(const Wall& wall) {
    const float size = std::max(
        {std::fabs(wall.x1), std::fabs(wall.y1), std::fabs(wall.x2), std::fabs(wall.y2), 1.0f});
    return 1e-5L + 2e-6L * size;
}

// How far the computed foot of the perpendicular may lie from the true one,
// mostly along the line: the slope form's intercept is rounded to about 0.002.
long double footTolerance(const Wall& wall) { return 0.004L + boundaryTolerance(wall); }

}  // namespace

TEST(WallProperties, ContactExactlyWithinTheRadiusOfTheSegment) {
    for (unsigned seed : {1u, 2u, 3u}) {
        Rng rng(seed);
        int judged = 0;
        int contacts = 0;
        const int cases = 40000;
        for (int i = 0; i < cases; ++i) {
            const Wall wall = randomWall(rng, WallKind(i % wallKindCount));
            const Ball ball = ballNear(rng, wall);
            // A centre within the radius of an end point is measured from that
            // end (the first one first), any other from the segment.
            const long double r = ball.radius;
            const long double toFirst =
                std::hypot((long double)ball.x - wall.x1, (long double)ball.y - wall.y1);
            const long double toSecond =
                std::hypot((long double)ball.x - wall.x2, (long double)ball.y - wall.y2);
            const long double distance = referenceSegmentDistance(wall, ball.x, ball.y);
            const long double tolerance = boundaryTolerance(wall);
            if (std::fabs(distance - r) <= tolerance || std::fabs(toFirst - r) <= tolerance ||
                std::fabs(toSecond - r) <= tolerance) {
                continue;  // on a boundary, rounding decides
            }
            ++judged;
            const float depth = wall.penetrationDepth(ball);
            const bool expected = distance <= r;
            contacts += expected;
            ASSERT_EQ(depth != noContact, expected)
                << "seed " << seed << " case " << i << ": " << describe(wall, ball) << ", distance "
                << double(distance);
            if (expected) {
                const long double measured = toFirst <= r    ? toFirst
                                             : toSecond <= r ? toSecond
                                                             : distance;
                ASSERT_NEAR(depth, r - measured, footTolerance(wall))
                    << "seed " << seed << " case " << i << ": " << describe(wall, ball);
            }
        }
        EXPECT_GT(judged, cases * 99 / 100) << "seed " << seed;
        EXPECT_GT(contacts, judged / 4) << "seed " << seed;
        EXPECT_GT(judged - contacts, judged / 5) << "seed " << seed;
    }
}

TEST(WallProperties, PushOutLeavesTheBallClearOnItsOwnSide) {
    const float margin = 0.1f;
    for (unsigned seed : {11u, 12u, 13u}) {
        Rng rng(seed);
        int judged = 0;
        int onLine = 0;
        for (int i = 0; i < 40000; ++i) {
            const Wall wall = randomWall(rng, WallKind(i % wallKindCount));
            const Ball ball = ballNear(rng, wall);
            if (wall.penetrationDepth(ball) == noContact) {
                continue;
            }
            Ball pushed = ball;
            wall.pushOut(pushed);
            const std::string where = "seed " + std::to_string(seed) + " case " +
                                      std::to_string(i) + ": " + describe(wall, ball) + " -> " +
                                      describe(wall, pushed);
            ASSERT_TRUE(finite(pushed)) << where;
            const float kickX = pushed.vx - ball.vx;
            const float kickY = pushed.vy - ball.vy;
            ASSERT_NEAR(std::hypot(kickX, kickY), 2.0, 1e-5) << where;

            // The wall's left normal: (-dirY, dirX), for a zero-length wall (1, 0).
            const long double side = referenceSide(wall, ball.x, ball.y);
            const long double sideAfter = referenceSide(wall, pushed.x, pushed.y);
            const long double leftX = -wall.dirY;
            const long double leftY = wall.dirX;
            const bool axisAligned = wall.x1 == wall.x2 || wall.y1 == wall.y2;
            if (std::fabs(side) > 0.05L) {
                ++judged;
                // The foot's error along the line tilts the push and the kick.
                const long double tilt = std::min(1.0L, footTolerance(wall) / std::fabs(side));
                const long double tiltLoss = 1.0L - std::cos(tilt);
                const long double away = side > 0 ? 1.0L : -1.0L;
                ASSERT_NEAR(sideAfter, away * (ball.radius + margin),
                            2.2L * tiltLoss + std::fabs(side) * tiltLoss + boundaryTolerance(wall))
                    << where;
                ASSERT_NEAR(kickX * leftX + kickY * leftY, away * 2.0L, 2.0L * tiltLoss + 1e-5L)
                    << where;
                ASSERT_EQ(wall.penetrationDepth(pushed), noContact) << where;
            } else if (side == 0.0L && axisAligned) {
                ++onLine;  // no side of its own: leaves on the left
                ASSERT_NEAR(sideAfter, ball.radius + margin, 1e-5L) << where;
                ASSERT_NEAR(kickX * leftX + kickY * leftY, 2.0L, 1e-6L) << where;
            }
            // Closer than 0.05 to a sloped line, the foot's rounding picks the
            // direction; the ball is only required to stay finite.
        }
        EXPECT_GT(judged, 10000) << "seed " << seed;
        EXPECT_GT(onLine, 100) << "seed " << seed;
    }
}

TEST(WallProperties, AnyFiniteEndPointsGiveAUnitDirection) {
    Rng rng(21);
    for (int i = 0; i < 100000; ++i) {
        const Wall wall =
            finishedWall(anyFinite(rng), anyFinite(rng), anyFinite(rng), anyFinite(rng));
        const std::string where = "case " + std::to_string(i) + ": " + describe(wall, Ball());
        ASSERT_TRUE(std::isfinite(wall.length)) << where;
        ASSERT_TRUE(std::isfinite(wall.dirX) && std::isfinite(wall.dirY)) << where;
        ASSERT_NEAR(std::hypot(wall.dirX, wall.dirY), 1.0, 1e-6) << where;
        const long double dx = (long double)wall.x2 - wall.x1;
        const long double dy = (long double)wall.y2 - wall.y1;
        const long double length = std::hypot(dx, dy);
        if (length > 0.0L) {
            ASSERT_NEAR(wall.dirX, dx / length, 1e-6L) << where;
            ASSERT_NEAR(wall.dirY, dy / length, 1e-6L) << where;
            const long double expected = std::min(length, (long double)FLT_MAX);
            ASSERT_NEAR(wall.length, expected, std::max(1e-6L * expected, 1e-45L))
                << where;  // subnormal steps
        }
    }
}

TEST(WallProperties, AnyFiniteWallKeepsNearbyBallsFinite) {
    // Wall ends anywhere in the float range, or one of them in the field;
    // balls in and around the field, or beside an end within reach of it.
    Rng rng(31);
    const float margin = 0.1f;
    int judged = 0;
    for (int i = 0; i < 200000; ++i) {
        float x1 = anyFinite(rng), y1 = anyFinite(rng), x2 = anyFinite(rng), y2 = anyFinite(rng);
        const int inField = uniformInt(rng, 0, 2);  // none, the first or the second end
        if (inField == 1) {
            x1 = uniform(rng, -60, 60);
            y1 = uniform(rng, -10, 85);
        } else if (inField == 2) {
            x2 = uniform(rng, -60, 60);
            y2 = uniform(rng, -10, 85);
        }
        const Wall wall = finishedWall(x1, y1, x2, y2);
        Ball ball = ballAt(uniform(rng, -60, 60), uniform(rng, -10, 85));
        const bool besideSecond = chance(rng, 0.5);
        const float endX = besideSecond ? x2 : x1;
        const float endY = besideSecond ? y2 : y1;
        if (std::fabs(endX) < 1e6f && std::fabs(endY) < 1e6f && chance(rng, 0.7)) {
            ball = ballAt(endX + uniform(rng, -2.5f, 2.5f), endY + uniform(rng, -2.5f, 2.5f));
        }
        const std::string where = "case " + std::to_string(i) + ": " + describe(wall, ball);
        const float depth = wall.penetrationDepth(ball);
        ASSERT_TRUE(depth == noContact || (depth >= 0.0f && depth <= ball.radius))
            << where << " depth " << depth;
        if (depth == noContact) {
            continue;
        }
        Ball pushed = ball;
        wall.pushOut(pushed);
        ASSERT_TRUE(finite(pushed)) << where;

        // Touching an end in the field, the far end costs no precision.
        const bool touchesFieldEnd =
            (inField == 1 && std::hypot(ball.x - x1, ball.y - y1) <= ball.radius) ||
            (inField == 2 && std::hypot(ball.x - x2, ball.y - y2) <= ball.radius);
        const long double side = referenceSide(wall, ball.x, ball.y);
        if (touchesFieldEnd && wall.x1 != wall.x2 && std::fabs(side) > 0.05L) {
            ++judged;
            const long double away = side > 0 ? 1.0L : -1.0L;
            ASSERT_NEAR(referenceSide(wall, pushed.x, pushed.y), away * (ball.radius + margin),
                        0.01L)
                << where;
        }
    }
    EXPECT_GT(judged, 10000);
}

namespace {

// A whole world played for many steps: attractors, walls of every kind the
// pointer can draw and some it cannot, balls dropped in and spread around,
// attractors dragged now and then, frame times from 0 to 0.12.
struct PlayedRun {
    std::vector<Ball> finalBalls;
    uint64_t trace = 14695981039346656037ull;  // FNV-1a over every ball after every step
};

PlayedRun playRandomWorld(unsigned seed, int steps) {
    Rng rng(seed);
    World world;
    const int attractorCount = uniformInt(rng, 0, 6);
    for (int i = 0; i < attractorCount; ++i) {
        world.addAttractor(gridX(rng), gridY(rng));
    }
    const int wallCount = uniformInt(rng, 0, 40);
    for (int i = 0; i < wallCount; ++i) {
        const int kind = uniformInt(rng, 0, wallKindCount);
        Wall wall = kind < wallKindCount
                        ? randomWall(rng, WallKind(kind))
                        : finishedWall(anyFinite(rng), anyFinite(rng), gridX(rng), gridY(rng));
        world.walls.append(new Wall(wall));
    }
    const int ballCount = uniformInt(rng, 1, 40);
    for (int i = 0; i < ballCount; ++i) {
        const int placement = uniformInt(rng, 0, 3);
        if (placement == 0) {
            world.addBall(0.0f, 80.0f);  // as the key drops them
        } else if (placement == 1 && !world.attractors.members().empty()) {
            const Attractor* attractor =
                world.attractors.members()[i % world.attractors.members().size()];
            world.addBall(attractor->x, attractor->y);  // right on an attractor
        } else if (placement == 2 && !world.walls.members().empty()) {
            const Wall* wall = world.walls.members()[i % world.walls.members().size()];
            world.addBall(wall->x1, wall->y1);  // right on a wall's end
        } else {
            world.addBall(uniform(rng, -48, 48), uniform(rng, 2, 73));
        }
    }

    PlayedRun run;
    for (int step = 0; step < steps; ++step) {
        if (!world.attractors.members().empty() && chance(rng, 0.01)) {
            Attractor* dragged =
                world.attractors
                    .members()[uniformInt(rng, 0, int(world.attractors.members().size()) - 1)];
            dragged->x = gridX(rng);
            dragged->y = gridY(rng);
        }
        const float dt =
            chance(rng, 0.05) ? (chance(rng, 0.5) ? 0.0f : 0.12f) : uniform(rng, 0.0f, 0.12f);
        world.step(dt);
        world.attractors.step(dt);
        for (const Ball* ball : world.balls.members()) {
            EXPECT_TRUE(finite(*ball))
                << "seed " << seed << " step " << step << ": " << describe(Wall(), *ball);
            EXPECT_TRUE(insideField(*ball, world.field))
                << "seed " << seed << " step " << step << ": " << describe(Wall(), *ball);
            const unsigned char* bytes = reinterpret_cast<const unsigned char*>(ball);
            for (size_t b = 0; b < sizeof(Ball); ++b) {
                run.trace = (run.trace ^ bytes[b]) * 1099511628211ull;
            }
        }
        if (testing::Test::HasFailure()) {
            break;
        }
    }
    for (const Ball* ball : world.balls.members()) {
        run.finalBalls.push_back(*ball);
    }
    return run;
}

}  // namespace

TEST(WorldProperties, EveryBallStaysFiniteAndInsideTheField) {
    for (unsigned seed = 100; seed < 130; ++seed) {
        playRandomWorld(seed, 3000);
        ASSERT_FALSE(HasFailure()) << "seed " << seed;
    }
}

TEST(WorldProperties, SameInputsGiveBitIdenticalRuns) {
    for (unsigned seed : {200u, 201u, 202u, 203u}) {
        const PlayedRun first = playRandomWorld(seed, 2000);
        const PlayedRun second = playRandomWorld(seed, 2000);
        ASSERT_EQ(first.trace, second.trace) << "seed " << seed;
        ASSERT_EQ(first.finalBalls.size(), second.finalBalls.size()) << "seed " << seed;
        EXPECT_EQ(std::memcmp(first.finalBalls.data(), second.finalBalls.data(),
                              first.finalBalls.size() * sizeof(Ball)),
                  0)
            << "seed " << seed;
    }
}
