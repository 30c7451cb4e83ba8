// Input the real program lets pass on the playing screen: middle and right
// presses and wheel turns start no wall, a held key adds its token once, and
// the shifted 'M' and 'A' add nothing.
#include "E2e.h"

#include <gtest/gtest.h>
#include <cmath>

using namespace std::chrono_literals;

namespace {

constexpr double spawnX = 320.0;
constexpr double spawnY = 12.8;  // a new ball is put back inside the field at y 73

double distanceFromSpawn(const Blob& blob) {
    return std::hypot(blob.centreX - spawnX, blob.centreY - spawnY);
}

// Blue pixels within a token's reach of where new balls appear.
int ballPixelsAtSpawn(const Screenshot& shot) {
    return countMatching(shot, isBallColour, 300, 0, 340, 33);
}

}  // namespace

using IgnoredInput = PlayingScreen;

TEST_F(IgnoredInput, MiddleRightAndWheelPressesMakeNoWall) {
    program.moveTo(100, 100);
    program.click(2);
    program.moveTo(200, 300);
    program.click(3);
    program.moveTo(300, 350);
    program.click(4);
    program.click(5);
    program.moveTo(500, 420);
    program.press(2);
    program.press(3);
    program.moveTo(520, 440);
    program.release(3);
    program.release(2);

    // Had any of them started a wall, the first left click would finish it.
    clickAt(program, 400, 100);
    clickAt(program, 500, 150);
    ASSERT_TRUE(program.waitForOutputLines(1, 10s));
    ASSERT_TRUE(waitForInputHandled(program));
    EXPECT_EQ(program.output(), traceLine(worldAt(400, 100), worldAt(500, 150)));
    EXPECT_EQ(program.output(), "(12.5, 59.375) (28.125, 51.5625)\n");
}

TEST_F(IgnoredInput, HeldKeyAddsOneBallAndShiftedKeysAddNothing) {
    program.moveTo(600, 200);

    // 'a' then 'A': one attractor, at (0, 30). Dragging it away leaves nothing
    // behind; of two tokens there the earlier one would be grabbed. The 'a' is
    // handled before 'A' is typed: the toolkit takes a release that it handles
    // while the same key is down again for a repeat.
    program.key("a");
    ASSERT_TRUE(waitForInputHandled(program));
    program.key("shift+a");
    program.moveTo(320, 288);
    program.press(1);
    program.moveTo(40, 440);
    program.release(1);
    ASSERT_TRUE(waitForInputHandled(program));
    shot = program.waitForScreen(
        [](const Screenshot& s) {
            return countMatching(s, isAttractorColour, 30, 430, 50, 450) > 0;
        },
        10s);
    std::vector<Blob> attractors = findBlobs(shot, isAttractorColour);
    ASSERT_EQ(attractors.size(), 1u) << "'A' added an attractor";
    EXPECT_NEAR(attractors[0].centreX, 40.0, 1.5);
    EXPECT_NEAR(attractors[0].centreY, 440.0, 1.5);

    // Hold 'm' for 1.5 s at least, and until the first ball has fallen well
    // away from where balls appear, toward the attractor in the corner.
    program.moveTo(600, 200);
    const auto heldSince = std::chrono::steady_clock::now();
    program.keyDown("m");
    Blob firstBall;
    int ballsSeen = 0;
    bool movedAway = waitUntil(
        [&] {
            std::vector<Blob> balls = findBlobs(program.screenshot(), isBallColour);
            ballsSeen = static_cast<int>(balls.size());
            if (balls.empty()) return false;
            firstBall = balls[0];
            return std::chrono::steady_clock::now() - heldSince >= 1500ms &&
                   distanceFromSpawn(firstBall) > 80.0;
        },
        20s);
    program.keyUp("m");
    ASSERT_TRUE(movedAway) << "the first ball did not fall";
    EXPECT_EQ(ballsSeen, 1) << "the held key repeated";

    // 'M' and 'A' on the playing screen add nothing either.
    program.key("shift+m");
    program.key("shift+a");
    ASSERT_TRUE(waitForInputHandled(program));
    shot = program.waitForScreen(
        [](const Screenshot& s) { return !findBlobs(s, isAttractorColour).empty(); }, 10s);

    // A ball added since the hold ended would still be at the top, within a
    // few pixels; the first one, partly under the attractor maybe, is no
    // bigger than before.
    EXPECT_EQ(ballPixelsAtSpawn(shot), 0) << "a ball was added at the end of the hold or by 'M'";
    EXPECT_LE(countMatching(shot, isBallColour, 0, 0, 639, 479), firstBall.pixels * 5 / 4);
    attractors = findBlobs(shot, isAttractorColour);
    EXPECT_EQ(attractors.size(), 1u);
    EXPECT_EQ(countMatching(shot, isAttractorColour, 300, 268, 340, 308), 0);
    EXPECT_EQ(program.output(), "");
}
