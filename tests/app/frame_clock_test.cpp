// The frame clock under a clock the test controls, in a real GL window: the
// clamp, the clear that comes with it, and what a frame steps and keeps.
#include "Ball.h"
#include "Editing.h"
#include "FrameClock.h"
#include "GlWindow.h"
#include "World.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

uint32_t fakeNow = 0;
uint32_t fakeClock() { return fakeNow; }

// Starts every case from a tick at `start`, so the next gap is exact.
FrameClock& clockAt(uint32_t start) {
    FrameClock::useClock(fakeClock);
    fakeNow = start;
    FrameClock& clock = FrameClock::instance();
    clock.tick();
    return clock;
}

void fillBlack() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

bool bufferWasCleared() { return glwindow::pixelAt(320, 240)[0] == 255; }

// Ticks once after `gap` milliseconds; returns the elapsed seconds.
double tickAfter(FrameClock& clock, uint32_t gap) {
    fillBlack();
    fakeNow += gap;
    clock.tick();
    return clock.getElapsedSeconds();
}

int modelViewDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

}  // namespace

TEST(FrameClock, MeasuresGapsAndClampsLongOnesWithAClear) {
    FrameClock& clock = clockAt(5000);

    EXPECT_EQ(tickAfter(clock, 0), 0.0);
    EXPECT_FALSE(bufferWasCleared());

    EXPECT_DOUBLE_EQ(tickAfter(clock, 16), 0.016);
    EXPECT_FALSE(bufferWasCleared());

    EXPECT_DOUBLE_EQ(tickAfter(clock, 120), 0.12);
    EXPECT_FALSE(bufferWasCleared()) << "a gap of exactly 120 ms is not clamped";

    EXPECT_EQ(tickAfter(clock, 121), 0.12);
    EXPECT_TRUE(bufferWasCleared());

    EXPECT_EQ(tickAfter(clock, 60000), 0.12);
    EXPECT_TRUE(bufferWasCleared());
}

TEST(FrameClock, ThirtyTwoBitClockWrap) {
    // Across the wrap the unsigned difference is the true gap.
    FrameClock& clock = clockAt(0xFFFFFFF0u);
    EXPECT_DOUBLE_EQ(tickAfter(clock, 0x20), 0.032);
    EXPECT_FALSE(bufferWasCleared());

    // A reading behind the last one wraps to a huge gap, which is clamped.
    clockAt(1000);
    fillBlack();
    fakeNow = 990;
    clock.tick();
    EXPECT_EQ(clock.getElapsedSeconds(), 0.12);
    EXPECT_TRUE(bufferWasCleared());
}

TEST(FrameClock, WorldMovesOnlyOnThePlayingScreen) {
    FrameClock& clock = clockAt(100000);
    clock.setUpScene();  // pictures missing here: plain squares, which is fine
    editKey('m');
    const Ball& ball = *world().balls.members().back();
    int depthBefore = modelViewDepth();

    for (int screen : {0, 1, 3}) {
        ScreenState = screen;
        fakeNow += 100;
        clock.frame();
        EXPECT_EQ(ball.y, 80.0f) << "screen " << screen;
        EXPECT_EQ(modelViewDepth(), depthBefore) << "screen " << screen;
    }

    ScreenState = 2;
    fakeNow += 100;
    clock.frame();
    EXPECT_EQ(modelViewDepth(), depthBefore);
    // One step of 0.1 s from (0, 80) at rest: pushed back under the top edge.
    EXPECT_EQ(ball.y, 73.0f);
    EXPECT_EQ(ball.vy, static_cast<float>(-2.7 * static_cast<float>(0.1)));
    ScreenState = 0;
}
