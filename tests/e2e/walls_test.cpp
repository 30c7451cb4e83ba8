// Drawing walls in the real program: two left clicks make a wall, traced on
// standard output with the world points of the clicked pixels; the rubber
// band shows while the wall is pending; releasing the button finishes nothing.
#include "E2e.h"

#include <gtest/gtest.h>
#include <cmath>

using namespace std::chrono_literals;

namespace {

// A rubber band is one pixel wide: about as many pixels as the segment's
// longer side, far fewer than a wall quad 6.4 pixels thick.
bool showsRubberBand(const Screenshot& shot, int x1, int y1, int x2, int y2) {
    int longerSide = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
    int pixels = countMatching(shot, isWallColour, 0, 0, 639, 479);
    return showsSegment(shot, isWallColour, x1, y1, x2, y2) && pixels <= longerSide * 3 / 2;
}

}  // namespace

using Walls = PlayingScreen;

TEST_F(Walls, TwoClicksDrawATracedWallAfterARubberBand) {
    // (192, 160) is exactly (-20, 50); (533, 53) gives 33.28125 and 66.71875,
    // which the six-digit trace rounds.
    clickAt(program, 192, 160);
    program.moveTo(533, 53);
    // With no tokens in the frame the band takes the wall colour.
    shot = program.waitForScreen(
        [&](const Screenshot& s) { return showsRubberBand(s, 192, 160, 533, 53); }, 10s);
    ASSERT_TRUE(showsRubberBand(shot, 192, 160, 533, 53))
        << countMatching(shot, isWallColour, 0, 0, 639, 479) << " wall-coloured pixels";
    EXPECT_EQ(program.output(), "") << "a pending wall is not traced";

    program.click(1);
    ASSERT_TRUE(program.waitForOutputLines(1, 10s));
    EXPECT_EQ(program.output(), traceLine(worldAt(192, 160), worldAt(533, 53)));
    EXPECT_EQ(program.output(), "(-20, 50) (33.2812, 66.7188)\n");

    // The finished wall: a quad one world unit (6.4 pixels) thick along the
    // segment, about 357 x 6.4 pixels.
    shot = program.waitForScreen(
        [](const Screenshot& s) { return countMatching(s, isWallColour, 0, 0, 639, 479) > 1500; },
        10s);
    int wallPixels = countMatching(shot, isWallColour, 0, 0, 639, 479);
    EXPECT_GT(wallPixels, 1900);
    EXPECT_LT(wallPixels, 2700);
    const double dx = 533 - 192;
    const double dy = 53 - 160;
    const double length = std::hypot(dx, dy);
    const double normalX = -dy / length;
    const double normalY = dx / length;
    for (int i = 1; i < 20; ++i) {
        double x = 192 + dx * i / 20.0;
        double y = 160 + dy * i / 20.0;
        EXPECT_TRUE(isWallColour(shot.at(static_cast<int>(x), static_cast<int>(y))))
            << "on the wall at " << x << ", " << y;
        for (double side : {-8.0, 8.0}) {
            int px = static_cast<int>(x + side * normalX);
            int py = static_cast<int>(y + side * normalY);
            EXPECT_FALSE(isWallColour(shot.at(px, py)))
                << "beside the wall at " << px << ", " << py;
        }
    }
    EXPECT_EQ(program.output(), "(-20, 50) (33.2812, 66.7188)\n");
}

TEST_F(Walls, ReleasingTheButtonLeavesTheWallPending) {
    // Press, drag, release: the wall's second end follows, nothing is fixed.
    program.moveTo(100, 400);
    program.press(1);
    program.moveTo(300, 440);
    program.release(1);
    ASSERT_TRUE(waitForInputHandled(program));
    shot = program.waitForScreen(
        [&](const Screenshot& s) { return showsRubberBand(s, 100, 400, 300, 440); }, 10s);
    EXPECT_TRUE(showsRubberBand(shot, 100, 400, 300, 440));
    EXPECT_EQ(program.output(), "");

    // Still pending: hovering moves the second end on.
    program.moveTo(560, 380);
    shot = program.waitForScreen(
        [&](const Screenshot& s) { return showsRubberBand(s, 100, 400, 560, 380); }, 10s);
    EXPECT_TRUE(showsRubberBand(shot, 100, 400, 560, 380));
    EXPECT_EQ(program.output(), "");

    // The next press finishes it where the pointer is.
    program.click(1);
    ASSERT_TRUE(program.waitForOutputLines(1, 10s));
    EXPECT_EQ(program.output(), traceLine(worldAt(100, 400), worldAt(560, 380)));
    EXPECT_EQ(program.output(), "(-34.375, 12.5) (37.5, 15.625)\n");
    shot = program.waitForScreen(
        [](const Screenshot& s) { return countMatching(s, isWallColour, 0, 0, 639, 479) > 2000; },
        10s);
    EXPECT_TRUE(showsSegment(shot, isWallColour, 100, 400, 560, 380));
    EXPECT_GT(countMatching(shot, isWallColour, 0, 0, 639, 479), 2000);
}
