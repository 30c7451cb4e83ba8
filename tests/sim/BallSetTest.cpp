// The ball step: phase order, the wall pass before the clamp, and the clamp.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "World.h"

TEST(BallStep, NewBallWithoutAttractorsIsClampedUnderTheTopThenSinks) {
    for (float dt : {0.01f, 0.05f, 0.12f}) {
        SCOPED_TRACE(dt);
        World world;
        Ball& ball = world.addBall(0.0f, 80.0f);
        world.step(dt);
        EXPECT_EQ(ball.y, 73.0f);
        EXPECT_FLOAT_EQ(ball.vy, -2.7f * dt);
        EXPECT_EQ(ball.x, 0.0f);
        EXPECT_EQ(ball.vx, 0.0f);

        // Constant sinking speed until the rim passes y = 0; then back to
        // y = 2 with the speed raised by one nudge, to zero.
        const float sinking = ball.vy;
        int steps = 0;
        while (ball.vy == sinking) {
            const float before = ball.y;
            world.step(dt);
            ASSERT_LT(++steps, 1000000);
            if (ball.vy == sinking) {
                EXPECT_NEAR(before - ball.y, -sinking * dt, 1e-5);
            }
        }
        EXPECT_EQ(ball.y, 2.0f);
        EXPECT_EQ(ball.vy, 0.0f);
    }
}

TEST(BallStep, NewBallUnderAnAttractor) {
    for (float dt : {0.01f, 0.05f, 0.12f}) {
        SCOPED_TRACE(dt);
        World world;
        world.addAttractor(0.0f, 30.0f);
        Ball& ball = world.addBall(0.0f, 80.0f);
        world.step(dt);
        EXPECT_FLOAT_EQ(ball.fy, -9.8f);
        EXPECT_EQ(ball.y, 73.0f);
        EXPECT_FLOAT_EQ(ball.vy, -12.5f * dt);
        EXPECT_EQ(ball.x, 0.0f);
        EXPECT_EQ(ball.vx, 0.0f);
    }
}

TEST(BallStep, ForcesStartFromZeroAndPullsUseTheAttractorsWhereTheyStand) {
    World world;
    Ball& ball = world.addBall(0.0f, 40.0f);
    ball.fx = 100.0f;  // left over: must not act
    Attractor& attractor = world.addAttractor(10.0f, 40.0f);
    attractor.vx = 1000.0f;  // moves only in the attractors' own step
    world.step(0.1f);
    EXPECT_FLOAT_EQ(ball.fx, 9.8f);
    EXPECT_NEAR(ball.x, 0.5 * 9.8 * 0.01, 1e-6);
    EXPECT_EQ(attractor.x, 10.0f);

    // Each ball gets every attractor's pull, in every step.
    World two;
    Ball& first = two.addBall(-10.0f, 40.0f);
    Ball& second = two.addBall(10.0f, 40.0f);
    two.addAttractor(0.0f, 40.0f);
    two.addAttractor(0.0f, 50.0f);
    two.step(0.05f);
    EXPECT_NEAR(first.fx, 9.8 + 9.8 / std::sqrt(2.0), 1e-5);
    EXPECT_NEAR(first.fy, 9.8 / std::sqrt(2.0), 1e-5);
    two.step(0.05f);
    EXPECT_GT(first.fx, 0.0f);
    EXPECT_GT(first.fy, 0.0f);
    EXPECT_EQ(second.fx, -first.fx);
    EXPECT_EQ(second.fy, first.fy);
    EXPECT_EQ(second.x, -first.x);
    EXPECT_EQ(second.y, first.y);
}

TEST(BallStep, WallsComeBeforeTheClamp) {
    // A wall just under the top lifts the ball out of the field; the clamp
    // then puts it back under the top edge, keeping the kick.
    World world;
    world.addWall(-10.0f, 74.0f, 10.0f, 74.0f);
    Ball& ball = world.addBall(0.0f, 75.5f);
    world.step(0.0f);
    EXPECT_EQ(ball.y, 73.0f);
    EXPECT_EQ(ball.vy, 2.0f);
}

TEST(BallClamp, StrictEdgesAndNudgesInwards) {
    const float dt = 0.1f;
    const float k = float(2.7 * double(dt));
    struct Case {
        const char* name;
        float x, y, vx, vy;
        float expectX, expectY, expectVx, expectVy;
    };
    const Case cases[] = {
        {"rim on the left edge", -48.0f, 30.0f, -1.0f, 0.0f, -48.0f, 30.0f, -1.0f, 0.0f},
        {"rim on the right edge", 48.0f, 30.0f, 1.0f, 0.0f, 48.0f, 30.0f, 1.0f, 0.0f},
        {"rim on the floor", 0.0f, 2.0f, 0.0f, -1.0f, 0.0f, 2.0f, 0.0f, -1.0f},
        {"rim on the ceiling", 0.0f, 73.0f, 0.0f, 1.0f, 0.0f, 73.0f, 0.0f, 1.0f},
        {"over the left edge, moving right", -49.0f, 30.0f, 3.0f, 0.0f, -48.0f, 30.0f, 3.0f + k,
         0.0f},
        {"over the left edge, moving left", -60.0f, 30.0f, -3.0f, 0.0f, -48.0f, 30.0f, -3.0f + k,
         0.0f},
        {"over the right edge", 48.5f, 30.0f, 5.0f, 0.0f, 48.0f, 30.0f, 5.0f - k, 0.0f},
        {"over the ceiling", 0.0f, 74.0f, 0.0f, 2.0f, 0.0f, 73.0f, 0.0f, 2.0f - k},
        {"over left and floor", -49.5f, 1.0f, -1.0f, -1.0f, -48.0f, 2.0f, -1.0f + k, -1.0f + k},
        {"over right and ceiling", 49.0f, 80.0f, 0.0f, 0.0f, 48.0f, 73.0f, -k, -k},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World world;
        Ball& ball = world.addBall(c.x, c.y);
        ball.vx = c.vx;
        ball.vy = c.vy;
        world.balls.resolveContacts(dt, world.walls, world.field);
        EXPECT_EQ(ball.x, c.expectX);
        EXPECT_EQ(ball.y, c.expectY);
        EXPECT_EQ(ball.vx, c.expectVx);
        EXPECT_EQ(ball.vy, c.expectVy);
    }
}

TEST(BallClamp, NudgeIsFormedInDoubleAndRoundedOnce) {
    // 2.7f * dt in float would miss the nearest float to 2.7 dt for these.
    for (float dt : {0.000149999993f, 0.000189999992f, 0.000229999991f, 0.000299999985f}) {
        SCOPED_TRACE(dt);
        World world;
        Ball& ball = world.addBall(-50.0f, 30.0f);
        world.balls.resolveContacts(dt, world.walls, world.field);
        EXPECT_EQ(ball.vx, float(2.7L * dt));
    }
}

TEST(BallClamp, ZeroTimeStepStillClampsWithoutNudge) {
    World world;
    Ball& outside = world.addBall(-51.0f, -3.0f);
    outside.vx = -4.0f;
    Ball& inside = world.addBall(10.0f, 20.0f);
    inside.vx = 1.5f;
    inside.vy = -2.5f;
    world.step(0.0f);
    EXPECT_EQ(outside.x, -48.0f);
    EXPECT_EQ(outside.y, 2.0f);
    EXPECT_EQ(outside.vx, -4.0f);
    EXPECT_EQ(outside.vy, 0.0f);
    EXPECT_EQ(inside.x, 10.0f);
    EXPECT_EQ(inside.y, 20.0f);
    EXPECT_EQ(inside.vx, 1.5f);
    EXPECT_EQ(inside.vy, -2.5f);
}

TEST(BallClamp, UsesTheGivenField) {
    World world;
    world.field = {0.0f, 10.0f, 5.0f, 20.0f};
    Ball& ball = world.addBall(-3.0f, 30.0f);
    world.balls.resolveContacts(0.0f, world.walls, world.field);
    EXPECT_EQ(ball.x, 2.0f);
    EXPECT_EQ(ball.y, 18.0f);
}

TEST(BallStep, BallsPassThroughEachOther) {
    World world;
    world.addAttractor(5.0f, 30.0f);
    world.addAttractor(-20.0f, 60.0f);
    world.addWall(-20.0f, 20.0f, 20.0f, 10.0f);
    Ball& first = world.addBall(-3.0f, 50.0f);
    Ball& second = world.addBall(-3.0f, 50.0f);
    for (int i = 0; i < 500; ++i) {
        world.step(0.02f);
        ASSERT_EQ(std::memcmp(&first, &second, sizeof(Ball)), 0) << "step " << i;
    }
}
