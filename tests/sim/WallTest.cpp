// Walls: finishing, the contact test, the push-out and the wall pass.
#include <cfloat>
#include <cmath>

#include <gtest/gtest.h>

#include "ReferenceGeometry.h"
#include "World.h"

namespace {

const float root2 = std::sqrt(2.0f);

struct Push {
    Ball ball;
    float depth;
};

// The contact depth, then the push-out applied to a copy of the ball.
Push depthAndPush(const Wall& wall, float bx, float by, float vx = 0.0f, float vy = 0.0f) {
    Ball ball = ballAt(bx, by);
    ball.vx = vx;
    ball.vy = vy;
    const float depth = wall.penetrationDepth(ball);
    wall.pushOut(ball);
    return {ball, depth};
}

}  // namespace

TEST(WallFinish, LengthAndDirection) {
    const Wall diagonal = finishedWall(0.0f, 0.0f, 3.0f, 4.0f);
    EXPECT_FLOAT_EQ(diagonal.length, 5.0f);
    EXPECT_FLOAT_EQ(diagonal.dirX, 0.6f);
    EXPECT_FLOAT_EQ(diagonal.dirY, 0.8f);

    const Wall down = finishedWall(2.0f, 5.0f, 2.0f, 1.0f);
    EXPECT_EQ(down.length, 4.0f);
    EXPECT_EQ(down.dirX, 0.0f);
    EXPECT_EQ(down.dirY, -1.0f);

    const Wall up = finishedWall(2.0f, 1.0f, 2.0f, 5.0f);
    EXPECT_EQ(up.dirX, 0.0f);
    EXPECT_EQ(up.dirY, 1.0f);

    const Wall point = finishedWall(1.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(point.length, 0.0f);
    EXPECT_EQ(point.dirX, 0.0f);
    EXPECT_EQ(point.dirY, -1.0f);

    const Wall leftward = finishedWall(10.0f, 20.0f, -10.0f, 20.0f);
    EXPECT_EQ(leftward.length, 20.0f);
    EXPECT_EQ(leftward.dirX, -1.0f);
    EXPECT_EQ(leftward.dirY, 0.0f);

    EXPECT_EQ(Wall().thickness, 1.0f);
}

TEST(WallFinish, ExtremeEndPointsGiveAUnitDirection) {
    struct Case {
        float x1, y1, x2, y2;
        float dirX, dirY;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 1e-30f, 1e-30f, 1.0f / root2, 1.0f / root2},  // squares vanish
        {5.0f, 5.0f, 5.0f + 4.7683716e-7f, 5.0f, 1.0f, 0.0f},      // one ulp apart
        {-FLT_MAX, 0.0f, FLT_MAX, 0.0f, 1.0f, 0.0f},               // span overflows
        {FLT_MAX, -FLT_MAX, -FLT_MAX, FLT_MAX, -1.0f / root2, 1.0f / root2},
        {1e-45f, 0.0f, 0.0f, 1e-45f, -1.0f / root2, 1.0f / root2},  // subnormal ends
        {0.0f, 0.0f, 3e-23f, 0.0f, 1.0f, 0.0f},                     // square is subnormal
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << ", " << c.y1 << " -> " << c.x2 << ", " << c.y2);
        const Wall wall = finishedWall(c.x1, c.y1, c.x2, c.y2);
        EXPECT_NEAR(wall.dirX, c.dirX, 1e-6f);
        EXPECT_NEAR(wall.dirY, c.dirY, 1e-6f);
        EXPECT_TRUE(std::isfinite(wall.length));
        EXPECT_GT(wall.length, 0.0f);
    }
    // A vertical wall whose span overflows keeps a finite length too.
    EXPECT_EQ(finishedWall(0.0f, -FLT_MAX, 0.0f, FLT_MAX).length, FLT_MAX);
}

TEST(WallContact, HorizontalWall) {
    const Wall wall = finishedWall(-10.0f, 10.0f, 10.0f, 10.0f);

    const Push above = depthAndPush(wall, 0.0f, 11.0f);
    EXPECT_EQ(above.depth, 1.0f);
    EXPECT_EQ(above.ball.x, 0.0f);
    EXPECT_FLOAT_EQ(above.ball.y, 12.1f);
    EXPECT_EQ(above.ball.vx, 0.0f);
    EXPECT_EQ(above.ball.vy, 2.0f);

    const Push touching = depthAndPush(wall, 0.0f, 12.0f, 0.0f, 5.0f);
    EXPECT_EQ(touching.depth, 0.0f);  // touching is a contact
    EXPECT_FLOAT_EQ(touching.ball.y, 12.1f);
    EXPECT_EQ(touching.ball.vy, 7.0f);  // kicked although already moving away

    EXPECT_EQ(wall.penetrationDepth(ballAt(0.0f, 12.5f)), noContact);
    EXPECT_EQ(wall.penetrationDepth(ballAt(0.0f, std::nextafter(12.0f, 13.0f))), noContact);

    const Push below = depthAndPush(wall, 0.0f, 9.0f, 0.0f, 1.0f);
    EXPECT_EQ(below.depth, 1.0f);
    EXPECT_FLOAT_EQ(below.ball.y, 7.9f);
    EXPECT_EQ(below.ball.vy, -1.0f);

    // Beyond the end: the end cap makes the contact, the push is still straight up.
    const Push beyond = depthAndPush(wall, 11.0f, 11.0f);
    EXPECT_FLOAT_EQ(beyond.depth, 2.0f - root2);
    EXPECT_EQ(beyond.ball.x, 11.0f);
    EXPECT_FLOAT_EQ(beyond.ball.y, 12.1f);
    EXPECT_EQ(beyond.ball.vx, 0.0f);
    EXPECT_EQ(beyond.ball.vy, 2.0f);

    EXPECT_EQ(wall.penetrationDepth(ballAt(11.0f, 13.0f)), noContact);  // outside caps and span
    EXPECT_EQ(wall.penetrationDepth(ballAt(12.0f, 10.0f)), 0.0f);       // rim on the end point
    EXPECT_EQ(wall.penetrationDepth(ballAt(12.5f, 10.0f)), noContact);
    EXPECT_EQ(wall.penetrationDepth(ballAt(-10.0f, 10.0f)), 2.0f);  // centre on the end point
}

TEST(WallContact, VerticalWall) {
    const Wall wall = finishedWall(5.0f, 0.0f, 5.0f, 20.0f);
    const Push left = depthAndPush(wall, 4.0f, 10.0f);
    EXPECT_EQ(left.depth, 1.0f);
    EXPECT_FLOAT_EQ(left.ball.x, 2.9f);
    EXPECT_EQ(left.ball.y, 10.0f);
    EXPECT_EQ(left.ball.vx, -2.0f);
    EXPECT_EQ(left.ball.vy, 0.0f);

    const Push right = depthAndPush(finishedWall(5.0f, 20.0f, 5.0f, 0.0f), 6.5f, 3.0f);
    EXPECT_EQ(right.depth, 0.5f);
    EXPECT_FLOAT_EQ(right.ball.x, 7.1f);
    EXPECT_EQ(right.ball.vx, 2.0f);

    EXPECT_EQ(wall.penetrationDepth(ballAt(7.0f, 20.0f)), 0.0f);
    EXPECT_EQ(wall.penetrationDepth(ballAt(7.5f, 10.0f)), noContact);
    EXPECT_EQ(wall.penetrationDepth(ballAt(6.0f, 22.5f)), noContact);  // beyond the end and its cap
    EXPECT_FLOAT_EQ(wall.penetrationDepth(ballAt(6.0f, 21.0f)), 2.0f - root2);
}

TEST(WallContact, DiagonalWall) {
    const Wall wall = finishedWall(0.0f, 0.0f, 10.0f, 10.0f);
    const Push push = depthAndPush(wall, 6.0f, 4.0f);
    EXPECT_FLOAT_EQ(push.depth, 2.0f - root2);
    EXPECT_NEAR(push.ball.x, 6.0 + (2.1 - std::sqrt(2.0)) / std::sqrt(2.0), 1e-5);
    EXPECT_NEAR(push.ball.y, 4.0 - (2.1 - std::sqrt(2.0)) / std::sqrt(2.0), 1e-5);
    EXPECT_NEAR((push.ball.x - push.ball.y) / std::sqrt(2.0), 2.1, 1e-5);  // distance to the line
    EXPECT_FLOAT_EQ(push.ball.vx, root2);
    EXPECT_FLOAT_EQ(push.ball.vy, -root2);

    // The same line drawn the other way pushes the same way: the side is the ball's.
    const Push reversed = depthAndPush(finishedWall(10.0f, 10.0f, 0.0f, 0.0f), 6.0f, 4.0f);
    EXPECT_NEAR(reversed.ball.x, push.ball.x, 1e-5);
    EXPECT_NEAR(reversed.ball.y, push.ball.y, 1e-5);

    // Beyond the first end, touching only its cap: pushed across the line, not
    // away from the end point.
    const Push cap = depthAndPush(wall, -1.0f, -1.5f);
    EXPECT_FLOAT_EQ(cap.depth, 2.0f - std::sqrt(3.25f));
    EXPECT_NEAR((cap.ball.x - cap.ball.y) / std::sqrt(2.0), 2.1, 1e-5);
    EXPECT_NEAR(cap.ball.x + cap.ball.y, -2.5, 1e-5);
    EXPECT_FLOAT_EQ(cap.ball.vx, root2);
    EXPECT_FLOAT_EQ(cap.ball.vy, -root2);
    EXPECT_EQ(wall.penetrationDepth(ballAt(-1.0f, -2.0f)), noContact);  // sqrt(5) from the end

    // Rims exactly on an end point, beyond the span: the caps are inclusive.
    EXPECT_EQ(wall.penetrationDepth(ballAt(-2.0f, 0.0f)), 0.0f);
    EXPECT_EQ(wall.penetrationDepth(ballAt(10.0f, 12.0f)), 0.0f);
    EXPECT_EQ(wall.penetrationDepth(ballAt(-2.0f, -0.001f)), noContact);

    // A rim exactly on a sloped wall's line, within its span, is a contact.
    const Wall steep = finishedWall(0.0f, 0.0f, 6.0f, 8.0f);
    const Push touching = depthAndPush(steep, 4.0f, 2.0f);  // foot (2.4, 3.2)
    EXPECT_EQ(touching.depth, 0.0f);
    EXPECT_FLOAT_EQ(touching.ball.x, 4.08f);
    EXPECT_FLOAT_EQ(touching.ball.y, 1.94f);
    EXPECT_FLOAT_EQ(touching.ball.vx, 1.6f);
    EXPECT_FLOAT_EQ(touching.ball.vy, -1.2f);
    EXPECT_EQ(steep.penetrationDepth(ballAt(4.25f, 2.0f)), noContact);

    // Within r of the line but beyond the end and outside the cap.
    EXPECT_EQ(wall.penetrationDepth(ballAt(12.0f, 11.0f)), noContact);
    EXPECT_EQ(wall.penetrationDepth(ballAt(6.0f, 3.0f)), noContact);  // 2.12 from the line
}

TEST(WallContact, ZeroLengthWallPushesHorizontally) {
    const Wall point = finishedWall(1.0f, 1.0f, 1.0f, 1.0f);

    const Push right = depthAndPush(point, 2.5f, 1.5f);
    EXPECT_FLOAT_EQ(right.depth, 2.0f - std::sqrt(2.5f));
    EXPECT_FLOAT_EQ(right.ball.x, 3.1f);
    EXPECT_EQ(right.ball.y, 1.5f);
    EXPECT_EQ(right.ball.vx, 2.0f);
    EXPECT_EQ(right.ball.vy, 0.0f);

    const Push left = depthAndPush(point, 0.0f, 2.0f);
    EXPECT_FLOAT_EQ(left.ball.x, -1.1f);
    EXPECT_EQ(left.ball.y, 2.0f);
    EXPECT_EQ(left.ball.vx, -2.0f);

    EXPECT_EQ(point.penetrationDepth(ballAt(1.0f, 3.0f)), 0.0f);
    EXPECT_EQ(point.penetrationDepth(ballAt(1.0f, 3.5f)), noContact);
}

TEST(WallContact, CentreOnTheLineLeavesOnTheLeftSide) {
    // Left of the direction of travel, the normal (-dirY, dirX).
    struct Case {
        float x1, y1, x2, y2, bx, by;
        float depth;
        float expectX, expectY;
        float kickX, kickY;
    };
    const float side = 2.1f / root2;
    const Case cases[] = {
        {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 2.0f, 1.0f, 3.1f, 2.0f, 2.0f, 0.0f},  // zero length: +x
        {-10.0f, 10.0f, 10.0f, 10.0f, 3.0f, 10.0f, 2.0f, 3.0f, 12.1f, 0.0f, 2.0f},
        {10.0f, 10.0f, -10.0f, 10.0f, 3.0f, 10.0f, 2.0f, 3.0f, 7.9f, 0.0f, -2.0f},
        {5.0f, 0.0f, 5.0f, 20.0f, 5.0f, 10.0f, 2.0f, 2.9f, 10.0f, -2.0f, 0.0f},
        {5.0f, 20.0f, 5.0f, 0.0f, 5.0f, 10.0f, 2.0f, 7.1f, 10.0f, 2.0f, 0.0f},
        {0.0f, 0.0f, 10.0f, 10.0f, 5.0f, 5.0f, 2.0f, 5.0f - side, 5.0f + side, -root2, root2},
        {0.0f, 0.0f, 10.0f, 10.0f, 11.0f, 11.0f, 2.0f - root2, 11.0f - side, 11.0f + side, -root2,
         root2},  // cap
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << ", " << c.y1 << " -> " << c.x2 << ", " << c.y2);
        const Wall wall = finishedWall(c.x1, c.y1, c.x2, c.y2);
        const Push push = depthAndPush(wall, c.bx, c.by, 1.0f, -1.0f);
        EXPECT_FLOAT_EQ(push.depth, c.depth);
        EXPECT_FLOAT_EQ(push.ball.x, c.expectX);
        EXPECT_FLOAT_EQ(push.ball.y, c.expectY);
        EXPECT_FLOAT_EQ(push.ball.vx, 1.0f + c.kickX);
        EXPECT_FLOAT_EQ(push.ball.vy, -1.0f + c.kickY);
        EXPECT_EQ(wall.penetrationDepth(push.ball), noContact);
    }
}

TEST(WallContact, NearlyAxisAlignedWalls) {
    // Slopes far outside what the pointer can draw, where the slope form's
    // -1/m and intercept would lose the ball: still found and pushed clear.
    struct Case {
        float x1, y1, x2, y2, bx, by;
    };
    const Case cases[] = {
        {-10.0f, 10.0f, 10.0f, std::nextafter(10.0f, 11.0f), 0.0f, 11.0f},
        {-10.0f, 10.0f, 10.0f, 10.00001f, 3.0f, 9.0f},
        {-40.0f, 30.0f, 40.0f, 30.0f - 1e-5f, 0.0f, 31.9f},
        {5.0f, 0.0f, std::nextafter(5.0f, 6.0f), 20.0f, 4.0f, 10.0f},
        {-30.0f, 60.0f, -30.00001f, 10.0f, -28.5f, 35.0f},
        {0.0f, 0.0f, 1e-30f, 20.0f, 1.0f, 10.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << ", " << c.y1 << " -> " << c.x2 << ", " << c.y2);
        const Wall wall = finishedWall(c.x1, c.y1, c.x2, c.y2);
        const long double before = referenceSide(wall, c.bx, c.by);
        const Push push = depthAndPush(wall, c.bx, c.by);
        EXPECT_NEAR(push.depth, 2.0L - std::fabs(before), 1e-5);
        const long double after = referenceSide(wall, push.ball.x, push.ball.y);
        EXPECT_NEAR(after, std::copysign(2.1L, before), 1e-5);
        EXPECT_NEAR(std::hypot(push.ball.vx, push.ball.vy), 2.0, 1e-5);
        EXPECT_EQ(wall.penetrationDepth(push.ball), noContact);
    }
}

TEST(WallSet, EarlierWallsPushFirstAndLaterOnesSeeTheMovedBall) {
    // A floor at y = 10 and a post at x = 2 reaching up to y = 11. The ball at
    // (0, 10.5) touches both.
    {
        World world;
        world.addWall(-10.0f, 10.0f, 10.0f, 10.0f);
        world.addWall(2.0f, 0.0f, 2.0f, 11.0f);
        Ball ball = ballAt(0.0f, 10.5f);
        world.walls.collide(ball);
        // Lifted to 12.1 by the floor, the ball no longer reaches the post.
        EXPECT_EQ(ball.x, 0.0f);
        EXPECT_FLOAT_EQ(ball.y, 12.1f);
        EXPECT_EQ(ball.vx, 0.0f);
        EXPECT_EQ(ball.vy, 2.0f);
    }
    {
        World world;
        world.addWall(2.0f, 0.0f, 2.0f, 11.0f);
        world.addWall(-10.0f, 10.0f, 10.0f, 10.0f);
        Ball ball = ballAt(0.0f, 10.5f);
        world.walls.collide(ball);
        // The post, touched at depth 0, goes first; then the floor.
        EXPECT_FLOAT_EQ(ball.x, -0.1f);
        EXPECT_FLOAT_EQ(ball.y, 12.1f);
        EXPECT_EQ(ball.vx, -2.0f);
        EXPECT_EQ(ball.vy, 2.0f);
    }
    {
        World world;  // no walls: nothing happens
        Ball ball = ballAt(0.0f, 10.5f);
        world.walls.collide(ball);
        EXPECT_EQ(ball.y, 10.5f);
        EXPECT_EQ(ball.vy, 0.0f);
    }
}
