// The frame cycle: measures the time since the last frame, steps the world by
// it on the playing screen and draws the screen that ScreenState selects.
#pragma once
#include <cstdint>

// Which screen shows: 0 title, 1 instructions, 2 playing, 3 game over.
extern int32_t ScreenState;

// Reads a millisecond clock; the toolkit's elapsed time unless replaced.
using MillisecondClock = uint32_t (*)();

class FrameClock {
public:
    static FrameClock& instance();
    // Replaces the toolkit clock, so that tests can tick at exact gaps.
    static void useClock(MillisecondClock clock);

    void tick();
    void stepWorld();
    void frame();
    void setUpScene();

    double getElapsedSeconds() const { return elapsedSeconds; }

private:
    FrameClock();

    uint32_t lastTick;
    uint32_t currentTick = 0;
    double elapsedSeconds = 0.0;
    bool simulationRunning = false;
};
