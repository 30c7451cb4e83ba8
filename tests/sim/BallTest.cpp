// Ball integration and spin.
#include <gtest/gtest.h>

#include "World.h"

TEST(Ball, CreationValues) {
    const Ball ball;
    EXPECT_EQ(ball.x, 0.0f);
    EXPECT_EQ(ball.y, 0.0f);
    EXPECT_EQ(ball.vx, 0.0f);
    EXPECT_EQ(ball.vy, 0.0f);
    EXPECT_EQ(ball.fx, 0.0f);
    EXPECT_EQ(ball.fy, 0.0f);
    EXPECT_EQ(ball.dampX, 0.0f);
    EXPECT_EQ(ball.dampY, 0.0f);
    EXPECT_EQ(ball.accelX, 0.0f);
    EXPECT_EQ(ball.accelY, 0.0f);
    EXPECT_EQ(ball.spinRate, 0.0f);
    EXPECT_EQ(ball.mass, 1.0f);
    EXPECT_EQ(ball.radius, 2.0f);
    EXPECT_EQ(ball.spinAngle, 0.0f);
    EXPECT_EQ(ball.pictureIndex, 0);
}

TEST(Ball, IntegrateUnderConstantForce) {
    for (float dt : {0.0f, 0.001f, 0.016f, 0.05f, 0.12f}) {
        SCOPED_TRACE(dt);
        Ball ball = ballAt(0.0f, 80.0f);
        ball.fy = -9.8f;
        ball.integrate(dt);
        EXPECT_NEAR(ball.y, 80.0 - 4.9 * dt * dt, 1e-5);
        EXPECT_NEAR(ball.vy, -9.8 * dt, 1e-6);
        EXPECT_EQ(ball.x, 0.0f);
        EXPECT_EQ(ball.vx, 0.0f);
    }

    // The position uses the velocity from before the step.
    Ball ball = ballAt(1.0f, 2.0f);
    ball.vx = 4.0f;
    ball.fx = 8.0f;
    ball.integrate(0.5f);
    EXPECT_EQ(ball.x, 1.0f + 4.0f * 0.5f + 0.5f * 8.0f * 0.25f);
    EXPECT_EQ(ball.vx, 8.0f);
}

TEST(Ball, HalfStepTermJoinsThePositionInDouble) {
    // With the half-step term rounded to float before the sum, these frame
    // times would land one float away from the nearest float to the exact value.
    for (float dt : {0.0208000001f, 0.0281999987f, 0.0317999981f, 0.0401000008f}) {
        SCOPED_TRACE(dt);
        Ball ball = ballAt(0.25f, 0.25f);
        ball.fx = -9.8f;
        ball.integrate(dt);
        EXPECT_EQ(ball.x, float(0.25L + 0.5L * -9.8f * (long double)dt * dt));
    }
}

TEST(Ball, CoastsWithoutForce) {
    Ball ball = ballAt(-7.0f, 20.0f);
    ball.vx = 3.0f;
    for (int i = 0; i < 10; ++i) {
        ball.integrate(0.25f);
    }
    EXPECT_EQ(ball.x, -7.0f + 3.0f * 2.5f);
    EXPECT_EQ(ball.y, 20.0f);
    EXPECT_EQ(ball.vx, 3.0f);
    EXPECT_EQ(ball.vy, 0.0f);
}

TEST(Ball, GeneralForceWithDampingAndMass) {
    Ball ball = ballAt(0.0f, 0.0f);
    ball.mass = 2.0f;
    ball.dampX = 0.5f;
    ball.accelY = -3.0f;
    ball.vx = 4.0f;
    ball.fx = 10.0f;
    ball.integrate(0.5f);
    // Total force (10 - 0.5*4, 0 + -3*2) = (8, -6) written back; acceleration (4, -3).
    EXPECT_EQ(ball.fx, 8.0f);
    EXPECT_EQ(ball.fy, -6.0f);
    EXPECT_EQ(ball.x, 4.0f * 0.5f + 0.5f * 4.0f * 0.25f);
    EXPECT_EQ(ball.y, 0.5f * -3.0f * 0.25f);
    EXPECT_EQ(ball.vx, 6.0f);
    EXPECT_EQ(ball.vy, -1.5f);
}

TEST(Ball, ZeroTimeStepMovesNothingButStillTotalsForces) {
    Ball ball = ballAt(5.0f, 6.0f);
    ball.vx = 2.0f;
    ball.vy = -1.0f;
    ball.dampX = 0.5f;
    ball.accelY = 3.0f;
    ball.mass = 2.0f;
    ball.integrate(0.0f);
    EXPECT_EQ(ball.x, 5.0f);
    EXPECT_EQ(ball.y, 6.0f);
    EXPECT_EQ(ball.vx, 2.0f);
    EXPECT_EQ(ball.vy, -1.0f);
    EXPECT_EQ(ball.fx, -1.0f);
    EXPECT_EQ(ball.fy, 6.0f);
}

TEST(Ball, SpinAdvancesPerStepAndWrapsOnceAbove360) {
    Ball ball;
    ball.spinRate = 100.0f;
    ball.spinAngle = 300.0f;
    ball.advance(0.0f);  // not scaled by dt
    EXPECT_EQ(ball.spinAngle, 40.0f);

    ball.spinRate = 60.0f;
    ball.spinAngle = 300.0f;
    ball.advance(0.1f);
    EXPECT_EQ(ball.spinAngle, 360.0f);  // strictly above 360 wraps; 360 itself stays

    ball.spinRate = 500.0f;
    ball.spinAngle = 0.0f;
    ball.advance(0.1f);
    EXPECT_EQ(ball.spinAngle, 140.0f);  // one subtraction only

    Ball still;
    still.spinAngle = 725.0f;
    still.advance(0.1f);
    EXPECT_EQ(still.spinAngle, 725.0f);  // spinRate 0 never touches the angle
}

TEST(Ball, AdvanceIntegrates) {
    Ball ball = ballAt(0.0f, 80.0f);
    ball.fy = -9.8f;
    Ball reference = ball;
    ball.advance(0.05f);
    reference.integrate(0.05f);
    EXPECT_EQ(ball.y, reference.y);
    EXPECT_EQ(ball.vy, reference.vy);
}
