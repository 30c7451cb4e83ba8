// Editing through the real callbacks: walls from two left presses and their
// trace, attractors grabbed and dragged, keys that add tokens, and the trace
// line's number format.
#include "InputFixture.h"

#include "Ball.h"

#include <cmath>

namespace {
// Cases that edit the world through the callbacks.
class Editing : public InputFixture {};
}  // namespace

TEST_F(Editing, TwoLeftPressesMakeATracedWall) {
    const size_t walls = wallCount();

    // The press acts where the pointer last moved, not where it is reported.
    hover(192, 160);
    press(0);
    ASSERT_EQ(EditMode, 1);
    ASSERT_NE(PendingWall, nullptr);
    const Wall* pending = PendingWall;
    EXPECT_EQ(pending->x1, -20.0f);
    EXPECT_EQ(pending->y1, 50.0f);
    EXPECT_EQ(pending->x2, -20.0f);
    EXPECT_EQ(pending->y2, 50.0f);
    release(0);

    // Pending: the second end follows the pointer; the wall is not in the world.
    hover(533, 53);
    EXPECT_EQ(pending->x2, 33.28125f);
    EXPECT_EQ(pending->y2, 66.71875f);
    EXPECT_EQ(wallCount(), walls);
    EXPECT_EQ(output(), "");

    press(0);
    EXPECT_EQ(EditMode, 0);
    EXPECT_EQ(PendingWall, nullptr);
    ASSERT_EQ(wallCount(), walls + 1);
    const Wall* wall = world().walls.members().back();
    EXPECT_EQ(wall, pending);
    EXPECT_EQ(wall->x1, -20.0f);
    EXPECT_EQ(wall->y1, 50.0f);
    EXPECT_EQ(wall->x2, 33.28125f);
    EXPECT_EQ(wall->y2, 66.71875f);
    EXPECT_NEAR(wall->length, std::hypot(53.28125, 16.71875), 1e-4);
    EXPECT_NEAR(wall->dirX, 53.28125 / std::hypot(53.28125, 16.71875), 1e-6);
    EXPECT_NEAR(wall->dirY, 16.71875 / std::hypot(53.28125, 16.71875), 1e-6);
    EXPECT_EQ(output(), "(-20, 50) (33.2812, 66.7188)\n");
    release(0);
    EXPECT_EQ(wallCount(), walls + 1);
}

TEST_F(Editing, TwoPressesWithoutMovementMakeAZeroLengthWall) {
    const size_t walls = wallCount();
    hover(160, 200);
    press(0);
    release(0);
    press(0);
    ASSERT_EQ(wallCount(), walls + 1);
    const Wall* wall = world().walls.members().back();
    EXPECT_EQ(wall->x1, wall->x2);
    EXPECT_EQ(wall->y1, wall->y2);
    EXPECT_EQ(wall->length, 0.0f);
    EXPECT_EQ(wall->dirX, 0.0f);
    EXPECT_EQ(wall->dirY, -1.0f);
    EXPECT_EQ(output(), "(-25, 43.75) (-25, 43.75)\n");
}

TEST_F(Editing, ReleaseAfterADragLeavesTheWallPending) {
    const size_t walls = wallCount();
    hover(160, 240);
    press(0);
    drag(200, 260);
    ASSERT_NE(PendingWall, nullptr);
    EXPECT_EQ(PendingWall->x2, worldX(200));
    EXPECT_EQ(PendingWall->y2, worldY(260));
    release(0);
    EXPECT_EQ(EditMode, 1);
    EXPECT_EQ(wallCount(), walls);
    EXPECT_EQ(output(), "");

    clickLeft(240, 280);
    ASSERT_EQ(wallCount(), walls + 1);
    EXPECT_EQ(output(), "(-25, 37.5) (-12.5, 31.25)\n");
}

TEST_F(Editing, MiddleAndRightPressesNeitherStartNorFinishAWall) {
    const size_t walls = wallCount();
    hover(160, 280);
    for (int button : {1, 2}) {
        press(button);
        release(button);
    }
    EXPECT_EQ(EditMode, 0);
    EXPECT_EQ(PendingWall, nullptr);

    clickLeft(160, 280);
    hover(200, 280);
    for (int button : {1, 2}) {
        press(button);
        release(button);
    }
    EXPECT_EQ(EditMode, 1);
    EXPECT_EQ(wallCount(), walls);
    EXPECT_EQ(output(), "");
}

TEST_F(Editing, LeftPressOnOverlappingAttractorsGrabsTheNearest) {
    // Two attractors (radius 2) at (30, 60) and (32.5, 60); the press at
    // (31.5625, 60) lies on both discs and nearer the second centre.
    Attractor* first = addAttractor(30.0f, 60.0f);
    Attractor* second = addAttractor(32.5f, 60.0f);
    const size_t walls = wallCount();

    hover(522, 96);
    press(0);
    EXPECT_EQ(EditMode, 2);
    EXPECT_EQ(PendingWall, nullptr);
    EXPECT_EQ(world().attractors.grabbed(), second);
    // Grabbing does not move it; the first movement puts its centre on the pointer.
    EXPECT_EQ(second->x, 32.5f);
    EXPECT_EQ(second->y, 60.0f);

    drag(560, 120);
    EXPECT_EQ(second->x, 37.5f);
    EXPECT_EQ(second->y, 56.25f);
    EXPECT_EQ(first->x, 30.0f);
    EXPECT_EQ(first->y, 60.0f);

    // Releasing the middle button ends the drag as well as the left one would.
    release(1);
    EXPECT_EQ(EditMode, 0);
    EXPECT_EQ(world().attractors.grabbed(), nullptr);
    drag(580, 120);
    hover(580, 130);
    EXPECT_EQ(second->x, 37.5f);
    EXPECT_EQ(second->y, 56.25f);

    EXPECT_EQ(wallCount(), walls);
    EXPECT_EQ(output(), "");
}

TEST_F(Editing, ReleaseOfAnyButtonEndsADrag) {
    Attractor* attractor = addAttractor(worldX(560), worldY(200));
    for (int button : {0, 1, 2}) {
        hover(560, 200);
        press(0);
        ASSERT_EQ(world().attractors.grabbed(), attractor);
        drag(570, 200);
        release(button);
        EXPECT_EQ(EditMode, 0) << "button " << button;
        EXPECT_EQ(world().attractors.grabbed(), nullptr) << "button " << button;
        drag(580, 200);
        EXPECT_EQ(attractor->x, worldX(570)) << "button " << button;
        attractor->x = worldX(560);
    }
}

TEST_F(Editing, DragOutsideTheWindowStopsOnTheFieldsEdge) {
    Attractor* attractor = addAttractor(worldX(560), worldY(240));
    hover(560, 240);
    press(0);
    drag(-1000, 5000);
    EXPECT_EQ(attractor->x, -50.0f);
    EXPECT_GE(attractor->y, 0.0f);
    EXPECT_LT(attractor->y, 1e-6f);
    drag(100000, -100000);
    EXPECT_EQ(attractor->x, 50.0f);
    EXPECT_EQ(attractor->y, 75.0f);
    release(0);
    // Left in the corner, where no other case presses.
    EXPECT_EQ(output(), "");
}

TEST_F(Editing, PendingWallFinishesOnAnAttractorWithoutGrabbingIt) {
    Attractor* attractor = addAttractor(worldX(560), worldY(280));
    const size_t walls = wallCount();
    clickLeft(480, 280);
    ASSERT_EQ(EditMode, 1);
    clickLeft(560, 280);
    EXPECT_EQ(EditMode, 0);
    EXPECT_EQ(world().attractors.grabbed(), nullptr);
    EXPECT_EQ(wallCount(), walls + 1);
    EXPECT_EQ(attractor->x, 37.5f);
    EXPECT_EQ(attractor->y, 31.25f);
    EXPECT_EQ(output(), "(25, 31.25) (37.5, 31.25)\n");
}

TEST_F(Editing, KeysAddTokensOnEveryScreen) {
    for (int screen : {0, 1, 2, 3}) {
        ScreenState = screen;
        const size_t balls = ballCount();
        const size_t attractors = attractorCount();

        keyboardCallback('m', 10, 10);
        ASSERT_EQ(ballCount(), balls + 1) << "screen " << screen;
        const Ball* ball = world().balls.members().back();
        EXPECT_EQ(ball->x, 0.0f);
        EXPECT_EQ(ball->y, 80.0f);
        EXPECT_EQ(ball->vx, 0.0f);
        EXPECT_EQ(ball->vy, 0.0f);
        EXPECT_EQ(ball->radius, 2.0f);

        keyboardCallback('a', 10, 10);
        ASSERT_EQ(attractorCount(), attractors + 1) << "screen " << screen;
        const Attractor* attractor = world().attractors.members().back();
        EXPECT_EQ(attractor->x, 0.0f);
        EXPECT_EQ(attractor->y, 30.0f);
        EXPECT_EQ(attractor->pictureIndex, 0);
        EXPECT_EQ(attractor->alpha, 1.0f);

        EXPECT_EQ(ScreenState, screen);
        EXPECT_EQ(EditMode, 0);
    }
}

TEST_F(Editing, OtherKeysReleasesAndSpecialKeysDoNothing) {
    for (int screen : {0, 1, 2, 3}) {
        ScreenState = screen;
        const size_t balls = ballCount();
        const size_t attractors = attractorCount();
        const size_t walls = wallCount();
        for (int key = 0; key < 256; ++key) {
            ignoredSpecialKeyCallback(key, 0, 0);
            if (key == 'm' || key == 'a') continue;
            keyboardCallback(static_cast<unsigned char>(key), 0, 0);
            ignoredKeyCallback(static_cast<unsigned char>(key), 0, 0);
        }
        EXPECT_EQ(ballCount(), balls) << "screen " << screen;
        EXPECT_EQ(attractorCount(), attractors) << "screen " << screen;
        EXPECT_EQ(wallCount(), walls) << "screen " << screen;
        EXPECT_EQ(ScreenState, screen);
        EXPECT_EQ(EditMode, 0);
    }
    EXPECT_EQ(output(), "");
}

namespace {

// Counts the flushes that reach it.
class FlushCounter : public std::stringbuf {
public:
    int flushes = 0;

protected:
    int sync() override {
        ++flushes;
        return std::stringbuf::sync();
    }
};

std::string traced(float x1, float y1, float x2, float y2, int* flushes = nullptr) {
    Wall wall;
    wall.x1 = x1;
    wall.y1 = y1;
    wall.x2 = x2;
    wall.y2 = y2;
    FlushCounter buffer;
    std::ostream out(&buffer);
    traceWall(out, wall);
    if (flushes != nullptr) *flushes = buffer.flushes;
    return buffer.str();
}

}  // namespace

TEST(WallTrace, SixSignificantDigitsAndAFlush) {
    int flushes = 0;
    EXPECT_EQ(traced(-10.0f, 20.0f, 15.5f, 20.0f, &flushes), "(-10, 20) (15.5, 20)\n");
    EXPECT_EQ(flushes, 1);
    EXPECT_EQ(traced(12.5f, -3.0f, 100.0f / 3.0f, 0.0f), "(12.5, -3) (33.3333, 0)\n");
    EXPECT_EQ(traced(-49.84375f, 74.84375f, 0.15625f, 37.5f),
              "(-49.8438, 74.8438) (0.15625, 37.5)\n");
    EXPECT_EQ(traced(1234567.0f, 0.0001f, -0.00001f, 1e-9f),
              "(1.23457e+06, 0.0001) (-1e-05, 1e-09)\n");
}
