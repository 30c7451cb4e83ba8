// Shared by the input and editing tests: every case starts on the playing
// screen with nothing being edited, and can read what was traced. The world
// itself lives on between cases, so cases compare counts before and after
// and keep to their own parts of the field.
#pragma once
#include "Attractor.h"
#include "Callbacks.h"
#include "Editing.h"
#include "FrameClock.h"
#include "Wall.h"
#include "World.h"

#include <gtest/gtest.h>
#include <iostream>
#include <sstream>

class InputFixture : public testing::Test {
protected:
    void SetUp() override {
        leaveEditing();
        ScreenState = 2;
        previousOutput = std::cout.rdbuf(traced.rdbuf());
    }

    void TearDown() override {
        std::cout.rdbuf(previousOutput);
        leaveEditing();
        ScreenState = 0;
    }

    // A failed case may leave a wall pending (not in the world: freed here)
    // or a button down.
    static void leaveEditing() {
        delete PendingWall;
        PendingWall = nullptr;
        EditMode = 0;
        world().attractors.setGrabbed(nullptr);
        int screen = ScreenState;
        ScreenState = 2;
        for (int button = 0; button < 3; ++button) mouseCallback(button, 1, 0, 0);
        ScreenState = screen;
    }

    // The pointer moves with no button held, then with the left one held.
    static void hover(int x, int y) { passiveMotionCallback(x, y); }
    static void drag(int x, int y) { motionCallback(x, y); }
    // A press or release reported at a far corner: it acts where the pointer last moved.
    static void press(int button) { mouseCallback(button, 0, 639, 479); }
    static void release(int button) { mouseCallback(button, 1, 639, 479); }
    static void clickLeft(int x, int y) {
        hover(x, y);
        press(0);
        release(0);
    }

    static Attractor* addAttractor(float x, float y) {
        Attractor* attractor = new Attractor;
        attractor->x = x;
        attractor->y = y;
        world().attractors.append(attractor);
        return attractor;
    }

    static size_t wallCount() { return world().walls.members().size(); }
    static size_t ballCount() { return world().balls.members().size(); }
    static size_t attractorCount() { return world().attractors.members().size(); }

    std::string output() const { return traced.str(); }

private:
    std::ostringstream traced;
    std::streambuf* previousOutput = nullptr;
};

// World units of window pixel x or row y, on the 0.15625 grid of the field.
inline float worldX(int x) { return static_cast<float>(x - 320) * 0.15625f; }
inline float worldY(int y) { return 75.0f - static_cast<float>(y) * 0.15625f; }
