// Pointer input: the window-to-world mapping, the button table (and numbers
// outside it), and the screen sequence title -> instructions -> playing.
#include "InputFixture.h"
#include "InputState.h"

#include "GlWindow.h"

#include <GL/gl.h>
#include <climits>

namespace {

struct Point {
    float x;
    float y;
};

Point mapped(double x, double y) {
    InputState& input = InputState::instance();
    input.mapPointer(x, y);
    return Point{input.getWorldX(), input.getWorldY()};
}

void fillBlack() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

bool bufferWasCleared() { return glwindow::pixelAt(320, 240)[0] == 255; }

// Cases that drive the pointer callbacks.
class PointerInput : public InputFixture {};

}  // namespace

TEST(PointerMapping, WindowCornersAndCentreSpanTheField) {
    Point topLeft = mapped(0, 0);
    EXPECT_EQ(topLeft.x, -50.0f);
    EXPECT_EQ(topLeft.y, 75.0f);

    Point centre = mapped(320, 240);
    EXPECT_EQ(centre.x, 0.0f);
    EXPECT_EQ(centre.y, 37.5f);

    // The bottom edge is 0 only to within rounding, and never below it.
    Point bottomRight = mapped(640, 480);
    EXPECT_EQ(bottomRight.x, 50.0f);
    EXPECT_GE(bottomRight.y, 0.0f);
    EXPECT_LT(bottomRight.y, 1e-6f);

    // Fractions of a pixel are kept, not cut to whole pixels.
    Point inside = mapped(0.5, 0.5);
    EXPECT_EQ(inside.x, -49.921875f);
    EXPECT_EQ(inside.y, 74.921875f);
}

TEST(PointerMapping, PointsOutsideTheWindowStayOnTheFieldsEdge) {
    Point belowLeft = mapped(-1000, 5000);
    EXPECT_EQ(belowLeft.x, -50.0f);
    EXPECT_GE(belowLeft.y, 0.0f);
    EXPECT_LT(belowLeft.y, 1e-6f);

    Point aboveRight = mapped(1e9, -1e9);
    EXPECT_EQ(aboveRight.x, 50.0f);
    EXPECT_EQ(aboveRight.y, 75.0f);

    Point justOutside = mapped(-0.25, 480.25);
    EXPECT_EQ(justOutside.x, belowLeft.x);
    EXPECT_EQ(justOutside.y, belowLeft.y);

    Point beside = mapped(700, 120);
    EXPECT_EQ(beside.x, 50.0f);
    EXPECT_EQ(beside.y, 56.25f);
}

TEST(PointerMapping, EveryPixelLandsOnTheGridInBothAxes) {
    // Both axes scale by the half-height: 0.15625 world units a pixel.
    int offGrid = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x <= 640; ++x) {
            Point p = mapped(x, y);
            offGrid += p.x != worldX(x) || p.y != worldY(y);
        }
    }
    EXPECT_EQ(offGrid, 0);
}

TEST_F(PointerInput, MovementMapsThePointerOnEveryScreen) {
    InputState& input = InputState::instance();
    for (int screen : {0, 1, 2, 3}) {
        ScreenState = screen;
        hover(64, 400);
        EXPECT_EQ(input.getWorldX(), -40.0f) << "screen " << screen;
        EXPECT_EQ(input.getWorldY(), 12.5f) << "screen " << screen;
        drag(576, 80);
        EXPECT_EQ(input.getWorldX(), 40.0f) << "screen " << screen;
        EXPECT_EQ(input.getWorldY(), 62.5f) << "screen " << screen;
        // Button events never move the world point.
        mouseCallback(1, 0, 10, 10);
        mouseCallback(1, 1, 10, 10);
        EXPECT_EQ(input.getWorldX(), 40.0f) << "screen " << screen;
        EXPECT_EQ(input.getWorldY(), 62.5f) << "screen " << screen;
    }
}

TEST_F(PointerInput, ButtonNumbersOutsideTheTableChangeNothing) {
    InputState& input = InputState::instance();
    const size_t walls = wallCount();
    const size_t balls = ballCount();
    const size_t attractors = attractorCount();
    // Wheel turns come as 3 and 4; other numbers may come from other mice.
    for (int screen : {0, 1, 2, 3}) {
        for (int button : {3, 4, 7, -1, 100, INT_MAX, INT_MIN}) {
            for (int state : {0, 1}) {
                ScreenState = screen;
                hover(96, 456);
                mouseCallback(button, state, 96, 456);
                EXPECT_EQ(ScreenState, screen) << "button " << button << " state " << state;
                EXPECT_EQ(EditMode, 0) << "button " << button << " state " << state;
                EXPECT_EQ(PendingWall, nullptr) << "button " << button << " state " << state;
                EXPECT_EQ(input.getWorldX(), -35.0f) << "button " << button << " state " << state;
                EXPECT_EQ(input.getWorldY(), 3.75f) << "button " << button << " state " << state;
            }
        }
    }
    // Nor do they finish a wall that is being drawn.
    ScreenState = 2;
    clickLeft(96, 456);
    ASSERT_EQ(EditMode, 1);
    hover(128, 456);
    for (int button : {3, 4, 7, -1}) mouseCallback(button, 0, 128, 456);
    EXPECT_EQ(EditMode, 1);
    EXPECT_EQ(wallCount(), walls);
    EXPECT_EQ(ballCount(), balls);
    EXPECT_EQ(attractorCount(), attractors);
    EXPECT_EQ(output(), "");
}

TEST_F(PointerInput, AnyButtonPressAdvancesTitleThenInstructions) {
    for (int button : {0, 1, 2}) {
        ScreenState = 0;
        hover(96, 440);

        // A release does not advance; a press does, and starts nothing else.
        fillBlack();
        mouseCallback(button, 1, 96, 440);
        EXPECT_EQ(ScreenState, 0) << "button " << button;
        mouseCallback(button, 0, 96, 440);
        EXPECT_EQ(ScreenState, 1) << "button " << button;
        EXPECT_FALSE(bufferWasCleared()) << "button " << button;
        mouseCallback(button, 1, 96, 440);
        EXPECT_EQ(ScreenState, 1) << "button " << button;

        // The press that starts play clears the buffers.
        mouseCallback(button, 0, 96, 440);
        EXPECT_EQ(ScreenState, 2) << "button " << button;
        EXPECT_TRUE(bufferWasCleared()) << "button " << button;
        mouseCallback(button, 1, 96, 440);

        EXPECT_EQ(EditMode, 0) << "button " << button;
        EXPECT_EQ(PendingWall, nullptr) << "button " << button;
    }
    EXPECT_EQ(output(), "");
}

TEST_F(PointerInput, PlayingScreenStaysAndGameOverIgnoresPresses) {
    for (int button : {0, 1, 2}) {
        ScreenState = 2;
        hover(96, 424);
        fillBlack();
        mouseCallback(button, 0, 96, 424);
        EXPECT_EQ(ScreenState, 2) << "button " << button;
        EXPECT_FALSE(bufferWasCleared()) << "button " << button;
        mouseCallback(button, 1, 96, 424);
        leaveEditing();

        ScreenState = 3;
        mouseCallback(button, 0, 96, 424);
        EXPECT_EQ(ScreenState, 3) << "button " << button;
        EXPECT_EQ(EditMode, 0) << "a press on the game-over screen started a wall";
        EXPECT_EQ(PendingWall, nullptr);
        mouseCallback(button, 1, 96, 424);
    }
}

TEST_F(PointerInput, ReleasesAndMovementReachEditingOnEveryScreen) {
    // A drag begun on the playing screen ends with a release on any screen.
    Attractor* attractor = addAttractor(worldX(48), worldY(456));
    for (int screen : {0, 1, 3}) {
        ScreenState = 2;
        hover(48, 456);
        press(0);
        ASSERT_EQ(EditMode, 2);
        ScreenState = screen;
        drag(56, 456);
        EXPECT_EQ(attractor->x, worldX(56)) << "screen " << screen;
        release(0);
        EXPECT_EQ(EditMode, 0) << "screen " << screen;
        EXPECT_EQ(world().attractors.grabbed(), nullptr) << "screen " << screen;
        EXPECT_EQ(ScreenState, screen);
        attractor->x = worldX(48);
    }
}
