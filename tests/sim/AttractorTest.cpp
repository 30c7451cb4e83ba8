// Attractor pulls, the lifetime countdown and blinking, and picking.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "World.h"

namespace {

Ball pulledBy(std::initializer_list<std::pair<float, float>> attractorCentres, float bx, float by) {
    World world;
    for (const auto& [x, y] : attractorCentres) {
        world.addAttractor(x, y);
    }
    Ball ball = ballAt(bx, by);
    world.attractors.applyPulls(ball);
    return ball;
}

}  // namespace

TEST(AttractorPull, FixedStrengthTowardsTheCentre) {
    const Ball below = pulledBy({{0.0f, 30.0f}}, 0.0f, 80.0f);
    EXPECT_EQ(below.fx, 0.0f);
    EXPECT_FLOAT_EQ(below.fy, -9.8f);

    const Ball diagonal = pulledBy({{0.0f, 30.0f}}, 3.0f, 34.0f);
    EXPECT_FLOAT_EQ(diagonal.fx, -5.88f);
    EXPECT_FLOAT_EQ(diagonal.fy, -7.84f);

    // Same strength at any distance.
    const Ball near = pulledBy({{0.0f, 30.0f}}, 1.0f, 30.0f);
    const Ball far = pulledBy({{0.0f, 30.0f}}, 40.0f, 30.0f);
    EXPECT_FLOAT_EQ(near.fx, -9.8f);
    EXPECT_FLOAT_EQ(far.fx, -9.8f);
    EXPECT_FLOAT_EQ(std::hypot(diagonal.fx, diagonal.fy), 9.8f);
}

TEST(AttractorPull, ForcesAddUp) {
    const Ball doubled = pulledBy({{0.0f, 30.0f}, {0.0f, 30.0f}}, 0.0f, 80.0f);
    EXPECT_FLOAT_EQ(doubled.fy, -19.6f);

    // Anywhere between two attractors, not only at the midpoint, the pulls cancel.
    for (float t : {0.1f, 0.25f, 0.5f, 0.8f, 0.97f}) {
        SCOPED_TRACE(t);
        const Ball between =
            pulledBy({{-20.0f, 10.0f}, {20.0f, 40.0f}}, -20.0f + 40.0f * t, 10.0f + 30.0f * t);
        EXPECT_NEAR(between.fx, 0.0f, 1e-4f);  // the float point lies only near the segment
        EXPECT_NEAR(between.fy, 0.0f, 1e-4f);
    }

    // A pull adds to what the accumulator already holds.
    World world;
    world.addAttractor(10.0f, 0.0f);
    Ball ball = ballAt(0.0f, 0.0f);
    ball.fx = 1.5f;
    ball.fy = -2.0f;
    world.attractors.applyPulls(ball);
    EXPECT_FLOAT_EQ(ball.fx, 11.3f);
    EXPECT_EQ(ball.fy, -2.0f);
}

TEST(AttractorPull, CoincidingCentresGiveNoForce) {
    // Alone, and next to an ordinary attractor whose pull must still arrive.
    const Ball alone = pulledBy({{4.0f, 30.0f}}, 4.0f, 30.0f);
    EXPECT_EQ(alone.fx, 0.0f);
    EXPECT_EQ(alone.fy, 0.0f);

    const Ball withOther = pulledBy({{4.0f, 30.0f}, {4.0f, 0.0f}}, 4.0f, 30.0f);
    EXPECT_EQ(withOther.fx, 0.0f);
    EXPECT_FLOAT_EQ(withOther.fy, -9.8f);

    // Centres a hair apart: the gap's square vanishes as a float.
    const Ball hair = pulledBy({{1e-25f, 0.0f}}, 0.0f, 0.0f);
    EXPECT_TRUE(std::isfinite(hair.fx));
    EXPECT_TRUE(std::isfinite(hair.fy));

    // Just far enough apart to square to a subnormal: a finite, full-size pull.
    const Ball tiny = pulledBy({{1e-21f, 0.0f}}, 0.0f, 0.0f);
    EXPECT_NEAR(tiny.fx, 9.8f, 0.5f);
    EXPECT_EQ(tiny.fy, 0.0f);
}

TEST(AttractorUpdate, MovesWithItsVelocity) {
    Attractor attractor;
    attractor.x = 1.0f;
    attractor.y = 30.0f;
    attractor.vx = 4.0f;
    attractor.vy = -2.0f;
    attractor.update(0.25f);
    EXPECT_EQ(attractor.x, 2.0f);
    EXPECT_EQ(attractor.y, 29.5f);
}

TEST(AttractorUpdate, NoCountdownWithoutPositiveLifetime) {
    for (float lifetime : {-1.0f, 0.0f, -0.001f}) {
        SCOPED_TRACE(lifetime);
        Attractor attractor;
        attractor.lifetime = lifetime;
        for (int i = 0; i < 100; ++i) {
            attractor.update(0.1f);
        }
        EXPECT_EQ(attractor.lifetime, lifetime);
        EXPECT_EQ(attractor.blinkTimer, 0.1f);
        EXPECT_EQ(attractor.alpha, 1.0f);
    }
}

TEST(AttractorUpdate, BlinksInTheLastThreeSecondsThenFreezes) {
    Attractor attractor;
    attractor.lifetime = 3.5f;
    attractor.blinkTimer = 0.1f;
    // dt 0.25: lifetime 3.25, 3.0 (not below 3), then the timer runs 0.1 -> -0.15,
    // and each later update finding it at or below 0 flips alpha and resets it.
    const std::vector<float> expectedAlpha = {1, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1};
    const std::vector<float> expectedTimer = {0.1f, 0.1f,   -0.15f, 0.1f,   -0.15f, 0.1f,   -0.15f,
                                              0.1f, -0.15f, 0.1f,   -0.15f, 0.1f,   -0.15f, 0.1f};
    for (size_t i = 0; i < expectedAlpha.size(); ++i) {
        SCOPED_TRACE(i);
        attractor.update(0.25f);
        EXPECT_EQ(attractor.lifetime, 3.5f - 0.25f * float(i + 1));
        EXPECT_EQ(attractor.alpha, expectedAlpha[i]);
        EXPECT_FLOAT_EQ(attractor.blinkTimer, expectedTimer[i]);
    }
    EXPECT_EQ(attractor.lifetime, 0.0f);
    for (int i = 0; i < 20; ++i) {
        attractor.update(0.25f);
    }
    EXPECT_EQ(attractor.lifetime, 0.0f);
    EXPECT_EQ(attractor.alpha, 1.0f);
    EXPECT_FLOAT_EQ(attractor.blinkTimer, 0.1f);

    // A timer run down to exactly 0 flips alpha on the next update.
    Attractor exact;
    exact.lifetime = 2.0f;
    exact.blinkTimer = 0.5f;
    exact.update(0.25f);
    exact.update(0.25f);
    EXPECT_EQ(exact.blinkTimer, 0.0f);
    EXPECT_EQ(exact.alpha, 1.0f);
    exact.update(0.25f);
    EXPECT_EQ(exact.alpha, 0.0f);
    EXPECT_FLOAT_EQ(exact.blinkTimer, 0.1f);

    // With short frames alpha flips about every 0.1 s: every 8th update of 1/64 s.
    Attractor fast;
    fast.lifetime = 2.0f;
    std::vector<int> flips;
    for (int i = 1; i <= 40; ++i) {
        const float before = fast.alpha;
        fast.update(1.0f / 64.0f);
        if (fast.alpha != before) {
            flips.push_back(i);
        }
    }
    EXPECT_EQ(flips, (std::vector<int>{8, 16, 24, 32, 40}));
}

TEST(AttractorSet, StepUpdatesEveryAttractor) {
    World world;
    Attractor& first = world.addAttractor(0.0f, 30.0f);
    Attractor& second = world.addAttractor(5.0f, 10.0f);
    first.vx = 2.0f;
    second.vy = -4.0f;
    world.attractors.step(0.5f);
    EXPECT_EQ(first.x, 1.0f);
    EXPECT_EQ(second.y, 8.0f);
}

TEST(AttractorPick, RimCountsAndOutsideIsNothing) {
    World world;
    EXPECT_EQ(world.attractors.pick(0.0f, 30.0f), nullptr);  // empty set

    Attractor& attractor = world.addAttractor(0.0f, 30.0f);
    EXPECT_EQ(world.attractors.pick(0.0f, 30.0f), &attractor);
    EXPECT_EQ(world.attractors.pick(2.0f, 30.0f), &attractor);
    EXPECT_EQ(world.attractors.pick(0.0f, 28.0f), &attractor);
    EXPECT_EQ(world.attractors.pick(std::nextafter(2.0f, 3.0f), 30.0f), nullptr);
    EXPECT_EQ(world.attractors.pick(1.5f, 31.5f), nullptr);
}

TEST(AttractorPick, NearestCentreWinsAndTiesGoToTheEarliest) {
    World world;
    Attractor& left = world.addAttractor(-1.0f, 30.0f);
    Attractor& right = world.addAttractor(1.0f, 30.0f);
    world.addAttractor(1.0f, 30.0f);  // same centre as right, appended later

    EXPECT_EQ(world.attractors.pick(-0.5f, 30.0f), &left);
    EXPECT_EQ(world.attractors.pick(0.5f, 30.0f), &right);  // later in the set, but nearer
    EXPECT_EQ(world.attractors.pick(2.5f, 30.0f), &right);  // only the two at x = 1 contain it
    EXPECT_EQ(world.attractors.pick(0.0f, 30.0f), &left);   // all equally near
    EXPECT_EQ(world.attractors.pick(1.0f, 30.0f), &right);  // the later twin ties and loses
    EXPECT_EQ(world.attractors.pick(-3.0f, 30.0f), &left);  // left's rim only
    EXPECT_EQ(world.attractors.pick(-3.5f, 30.0f), nullptr);
}

TEST(AttractorSet, GrabbedStartsEmpty) {
    World world;
    EXPECT_EQ(world.attractors.grabbed(), nullptr);
    Attractor& attractor = world.addAttractor(0.0f, 30.0f);
    world.attractors.setGrabbed(world.attractors.pick(0.5f, 30.5f));
    EXPECT_EQ(world.attractors.grabbed(), &attractor);
    world.attractors.setGrabbed(nullptr);
    EXPECT_EQ(world.attractors.grabbed(), nullptr);
}
