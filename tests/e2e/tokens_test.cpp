// Tokens in the real program: 'a' puts a red attractor at (0, 30), which the
// left button drags (never past the field's edge); 'm' drops a blue ball in at
// the top, which an attractor pulls and a wall stops.
#include "E2e.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

bool centredAt(const Blob& blob, double x, double y) {
    return std::abs(blob.centreX - x) <= 1.5 && std::abs(blob.centreY - y) <= 1.5;
}

// The only token of a colour, centred within 1.5 pixels of (x, y).
bool onlyTokenAt(const Screenshot& shot, const ColourTest& colour, double x, double y) {
    std::vector<Blob> blobs = findBlobs(shot, colour);
    return blobs.size() == 1 && centredAt(blobs[0], x, y);
}

std::string describe(const Screenshot& shot, const ColourTest& colour) {
    std::string text;
    for (const Blob& b : findBlobs(shot, colour))
        text += "[" + std::to_string(b.pixels) + " px at " + std::to_string(b.centreX) + ", " +
                std::to_string(b.centreY) + "; x " + std::to_string(b.left) + ".." +
                std::to_string(b.right) + ", y " + std::to_string(b.top) + ".." +
                std::to_string(b.bottom) + "] ";
    return text.empty() ? "none" : text;
}

}  // namespace

using Tokens = PlayingScreen;

TEST_F(Tokens, AttractorIsDraggedAndStaysOnTheField) {
    // World (0, 30) is pixel (320, 288); the token is 25.6 pixels across.
    program.key("a");
    shot = program.waitForScreen(
        [](const Screenshot& s) { return onlyTokenAt(s, isAttractorColour, 320, 288); }, 10s);
    ASSERT_TRUE(onlyTokenAt(shot, isAttractorColour, 320, 288))
        << describe(shot, isAttractorColour);
    Blob token = findBlobs(shot, isAttractorColour)[0];
    EXPECT_NEAR(token.width(), tokenPixels, 3.0);
    EXPECT_NEAR(token.height(), tokenPixels, 3.0);

    // Pressing on it grabs it; its centre follows the pointer.
    program.moveTo(325, 283);
    program.press(1);
    program.moveTo(480, 120);
    shot = program.waitForScreen(
        [](const Screenshot& s) { return onlyTokenAt(s, isAttractorColour, 480, 120); }, 10s);
    EXPECT_TRUE(onlyTokenAt(shot, isAttractorColour, 480, 120))
        << describe(shot, isAttractorColour);
    EXPECT_EQ(countMatching(shot, isAttractorColour, 300, 268, 340, 308), 0)
        << "still at the old place";
    program.release(1);

    // Released: moving on leaves it there. A second attractor, at (0, 30)
    // again, shows once the moves before it have been handled.
    program.moveTo(100, 100);
    program.key("a");
    shot = program.waitForScreen(
        [](const Screenshot& s) { return findBlobs(s, isAttractorColour).size() == 2; }, 10s);
    std::vector<Blob> tokens = findBlobs(shot, isAttractorColour);
    ASSERT_EQ(tokens.size(), 2u) << describe(shot, isAttractorColour);
    EXPECT_TRUE(centredAt(tokens[0], 480, 120) || centredAt(tokens[1], 480, 120))
        << describe(shot, isAttractorColour);
    EXPECT_TRUE(centredAt(tokens[0], 320, 288) || centredAt(tokens[1], 320, 288))
        << describe(shot, isAttractorColour);

    // A drag that leaves the window holds the token on the field's edge:
    // past the left edge, its centre is on that edge at the pointer's height.
    program.moveTo(480, 120);
    program.press(1);
    program.moveTo(-150, 240);
    shot = program.waitForScreen(
        [](const Screenshot& s) {
            std::vector<Blob> blobs = findBlobs(s, isAttractorColour);
            return !blobs.empty() && blobs.back().left == 0;
        },
        10s);
    tokens = findBlobs(shot, isAttractorColour);
    ASSERT_EQ(tokens.size(), 2u) << describe(shot, isAttractorColour);
    const Blob& onEdge = tokens[1];  // half a token: the smaller blob
    EXPECT_EQ(onEdge.left, 0);
    EXPECT_NEAR(onEdge.right + 1, tokenPixels / 2, 2.0);
    EXPECT_NEAR((onEdge.top + onEdge.bottom + 1) / 2.0, 240.0, 1.5);
    EXPECT_NEAR(onEdge.height(), tokenPixels, 3.0);

    // Past the bottom-right corner: a quarter of it in that corner.
    program.moveTo(900, 700);
    shot = program.waitForScreen(
        [](const Screenshot& s) {
            std::vector<Blob> blobs = findBlobs(s, isAttractorColour);
            return !blobs.empty() && blobs.back().right == 639 && blobs.back().bottom == 479;
        },
        10s);
    program.release(1);
    tokens = findBlobs(shot, isAttractorColour);
    ASSERT_EQ(tokens.size(), 2u) << describe(shot, isAttractorColour);
    const Blob& inCorner = tokens[1];
    EXPECT_EQ(inCorner.right, 639);
    EXPECT_EQ(inCorner.bottom, 479);
    EXPECT_NEAR(640 - inCorner.left, tokenPixels / 2, 2.0);
    EXPECT_NEAR(480 - inCorner.top, tokenPixels / 2, 2.0);

    // Grabbing and dragging draw no wall.
    EXPECT_EQ(program.output(), "");
    EXPECT_EQ(countMatching(shot, isWallColour, 0, 0, 639, 479), 0);
}

TEST_F(Tokens, BallIsPulledTowardTheAttractorAndStoppedByAWall) {
    // Added at (0, 80), the ball is put back inside the field at y 73: pixel
    // row 12.8. With no attractor it stays there.
    program.moveTo(320, 240);
    program.key("m");
    shot = program.waitForScreen(
        [](const Screenshot& s) { return onlyTokenAt(s, isBallColour, 320, 12.8); }, 10s);
    ASSERT_TRUE(onlyTokenAt(shot, isBallColour, 320, 12.8)) << describe(shot, isBallColour);

    // A wall across its way at y 60 (pixel row 96), x from -20 to 20.
    clickAt(program, 192, 96);
    clickAt(program, 448, 96);
    ASSERT_TRUE(program.waitForOutputLines(1, 10s));
    EXPECT_EQ(program.output(), "(-20, 60) (20, 60)\n");

    // The attractor at (0, 30) below the wall pulls the ball down onto it.
    program.key("a");
    const double restingRow = 96 - (2.0 + 0.1) / 0.15625;  // radius and margin above the line
    int restingFrames = 0;
    int belowWall = 0;
    waitUntil(
        [&] {
            shot = program.screenshot();
            std::vector<Blob> balls = findBlobs(shot, isBallColour);
            if (balls.size() != 1) return false;
            belowWall += balls[0].centreY > 96;
            restingFrames = std::abs(balls[0].centreY - restingRow) < 3.0 ? restingFrames + 1 : 0;
            return restingFrames >= 5;
        },
        20s);
    EXPECT_GE(restingFrames, 5) << describe(shot, isBallColour);
    EXPECT_EQ(belowWall, 0) << "the ball passed the wall";
    std::vector<Blob> balls = findBlobs(shot, isBallColour);
    ASSERT_EQ(balls.size(), 1u);
    EXPECT_NEAR(balls[0].centreX, 320.0, 1.5);
}
