// The simulation through its own types: every ball stays in the field and on
// its side of a wall, walls push overlapping balls clear exactly, and the wall
// set touches a ball just as a plain pass over every wall would. Whole scenes
// are checked against their recorded hashes by scene_hash, on every platform.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "CrowdedScene.h"

// One long wall across the field, attractors on one side, balls dropped on
// the other: no ball ever gets through or out. Steps are a frame at 50 fps or
// less, in which no ball moves as far as its own width: a longer step can
// carry a fast ball past a wall between two contact tests. By hand,
// TUMBLEWELL_SOAK_STEPS runs it for longer (scripts/soak.sh).
TEST(Step, KeepsEveryBallInTheFieldAndOnItsSideOfAWall) {
    const char* soak = std::getenv("TUMBLEWELL_SOAK_STEPS");
    const long steps = soak != nullptr ? std::atol(soak) : 10000;
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::mt19937 rng(seed);
        Scene scene;
        const float left = 20 + gridY(rng) / 3, right = 20 + gridY(rng) / 3;
        scene.walls.append(new Wall(wallFrom(-50, left, 50, right)));
        for (int i = 0; i < 3; ++i)  // low down
            scene.attractors.append(new Attractor{uniform(rng, -48, 48), uniform(rng, 0, 18)});
        for (int i = 0; i < 100; ++i)
            scene.balls.append(new Ball{uniform(rng, -48, 48), uniform(rng, 55, 73)});
        for (long i = 0; i < steps; ++i) {
            scene.step(uniform(rng, 0, 0.02f));
            for (const Ball* b : scene.balls.members())
                ASSERT_TRUE(b->x - 2 >= -50 && b->x + 2 <= 50 && b->y - 2 >= 0 && b->y + 2 <= 75 &&
                            b->y > left + (right - left) * (b->x + 50) / 100)
                    << "seed " << seed << " step " << i << ": at " << b->x << ", " << b->y;
        }
    }
}

// Depth and push-out: a ball that overlaps a wall ends 0.1 clear of its line
// with 2 added to its speed away from it; one that does not gets -1. Huge and
// tiny walls are longer than a float can measure or shorter than its squares.
TEST(Wall, PushesAnOverlappingBallClearOfItsLineAndKicksIt) {
    struct Case {
        const char* name;
        Wall wall;
        float x, y, depth, want[4];  // x, y, vx and vy once pushed out
    } cases[] = {
        {"across a horizontal wall", wallFrom(-10, 10, 10, 10), 0, 11, 1, {0, 12.1f, 0, 2}},
        {"beside a sloped wall", wallFrom(0, 0, 8, 6), 4.6f, 2.2f, 1, {5.26f, 1.32f, 1.2f, -1.6f}},
        {"on a horizontal wall's line", wallFrom(0, 0, 10, 0), 5, 0, 2, {5, 2.1f, 0, 2}},
        {"on a wall of no length", wallFrom(5, 5, 5, 5), 5, 5, 2, {7.1f, 5, 2, 0}},
        {"across a huge wall", wallFrom(-3e38f, 10, 3e38f, 10), 0, 11, 1, {0, 12.1f, 0, 2}},
        {"beside a tiny wall", wallFrom(0, 0, 3e-30f, 4e-30f), 0, 1, 1, {-1.2f, 1.9f, -1.6f, 1.2f}},
        {"just past a wall's end", wallFrom(0, 0, 10, 0), 12.1f, 0, -1, {}},
        {"clear of a sloped wall", wallFrom(0, 0, 8, 6), 4, 6, -1, {}},
    };
    for (const Case& c : cases) {
        Ball ball{c.x, c.y};
        EXPECT_NEAR(std::hypot(c.wall.dirX, c.wall.dirY), 1, 1e-6) << c.name << ": direction";
        EXPECT_NEAR(c.wall.penetrationDepth(ball), c.depth, 1e-4) << c.name;
        if (c.depth < 0) continue;
        c.wall.pushOut(ball);
        const float got[] = {ball.x, ball.y, ball.vx, ball.vy};
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], c.want[i], 1e-4) << c.name << ": x y vx vy";
    }
}

// The wall set looks only at the walls near a ball, and only where its quick
// checks let the ball through: balls at the edge of contact come out of it as
// out of the plain pass over every wall, bit for bit. Half the scenes keep to
// the field, where the grid's cells are small; the others add far, long and
// huge walls. The small balls bare the roundings that the checks allow for
// and that a radius of 2 covers. The balls, of the game's radius and of far
// smaller ones, are r away from an end or from the point a fraction t along
// the wall, along an axis, the wall's normal or its direction, then up to two
// ulps either way in x and in y.
TEST(Wall, SetTouchesABallAsEveryWallInTurnWould) {
    const int kinds[2][9] = {{0, 0, 0, 1, 2, 3, 5, 7, 8}, {0, 0, 4, 4, 4, 6, 2, 3, 8}};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        WallSet walls;
        for (int kind : kinds[seed % 2]) walls.append(new Wall(randomWall(rng, kind)));
        for (const Wall* wall : walls.members()) {
            const double t = uniform(rng, 0, 1), dx = wall->dirX, dy = wall->dirY;
            const double px[] = {wall->x1, wall->x2, wall->x1 + t * (double(wall->x2) - wall->x1)};
            const double py[] = {wall->y1, wall->y2, wall->y1 + t * (double(wall->y2) - wall->y1)};
            const double ux[]{1, -1, 0, 0, -dy, dy, dx, -dx}, uy[]{0, 0, 1, -1, dx, -dx, dy, -dy};
            for (float r : {2.0f, 1e-5f, 1e-6f})
                for (int i = 0; i < 3 * 8 * 25; ++i) {  // end or point, way out, ulps off
                    const int p = i / 200, u = i / 25 % 8, k = i % 25;
                    const float x = float(px[p] + ux[u] * r), y = float(py[p] + uy[u] * r);
                    Ball viaSet{x + (k % 5 - 2) * (std::nextafter(x, INFINITY) - x),
                                y + (k / 5 - 2) * (std::nextafter(y, INFINITY) - y)};
                    viaSet.radius = r;
                    Ball plain = viaSet;
                    walls.collide(viaSet);
                    for (const Wall* each : walls.members())
                        if (each->penetrationDepth(plain) != noContact) each->pushOut(plain);
                    ASSERT_TRUE(std::memcmp(&viaSet, &plain, sizeof(Ball)) == 0)
                        << "scene " << seed << ", radius " << r << ", at " << plain.x;
                }
        }
    }
}
