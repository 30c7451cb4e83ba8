// What a player cannot reach from outside, in a real GL window set up as
// the program sets itself up: the frame clock's clamp and clear under a
// clock the test runs, the game-over screen, frames that step the world only
// while playing and allocate nothing, and what they draw where. Each test
// runs in a process of its own (ctest), on a world of its own. A world point
// (x, y) is window pixel (320 + 6.4 x, 480 - 6.4 y).
#include <GL/freeglut.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <tuple>

#include "Ball.h"
#include "Callbacks.h"
#include "Editing.h"
#include "FrameClock.h"
#include "TestSupport.h"
#include "World.h"

// Last: X11 defines names (None, Bool) that the others use.
#include <X11/Xlib.h>

namespace {

long allocations = -1;  // counted while not negative
int keymapQueries = 0;  // the key-repeat filter's questions to X

// The back buffer as drawn so far. Mesa keeps it over a swap, where a
// frame is read back.
Screenshot windowPixels() {
    Screenshot shot{std::vector<uint8_t>(640 * 480 * 3)};
    for (int row = 0; row < 480; ++row)
        glReadPixels(0, 479 - row, 640, 1, GL_RGB, GL_UNSIGNED_BYTE, &shot.rgb[row * 640 * 3]);
    return shot;
}

uint32_t now = 5000;  // the frame clock's milliseconds

// The window pixel of world point (x, y), and the wall's colour.
const uint8_t* at(const Screenshot& shot, float x, float y) {
    return shot.at(int(320 + 6.4f * x), int(480 - 6.4f * y));
}
bool magenta(const uint8_t* rgb) { return rgb[0] == 255 && rgb[1] == 0 && rgb[2] == 234; }

struct Shell : testing::Test {
    void SetUp() override {
        FrameClock::useClock([] { return now; });
        bindCallbacks();
        FrameClock::instance().setUpScene();
        reshapeCallback(640, 480);
    }
};

}  // namespace

// Counts, then hands over to the next operator new in line (the C++
// library's or AddressSanitizer's), whose own delete then frees the memory.
void* operator new(std::size_t size) {
    using New = void* (*)(std::size_t);
    static const New next = reinterpret_cast<New>(dlsym(RTLD_NEXT, "_Znwm"));
    if (allocations >= 0) ++allocations;
    return next(size);
}

// Counts, then asks X.
extern "C" int XQueryKeymap(Display* display, char keys[32]) {
    static const auto next = reinterpret_cast<int (*)(Display*, char*)>(dlsym(RTLD_NEXT, __func__));
    ++keymapQueries;
    return next(display, keys);
}

// A window manager may keep the window at a size it was refused: the picture
// stays in its lower-left corner, and a press lands where it points there.
TEST_F(Shell, PressesLandOnThePictureInAWindowKeptAtAnotherSize) {
    ScreenState = 2;
    reshapeCallback(800, 600);
    passiveMotionCallback(320, 120 + 288);
    mouseCallback(0, 0, 0, 0);
    ASSERT_TRUE(PendingWall != nullptr && PendingWall->x1 == 0 && PendingWall->y1 == 30);
}

// Gaps over 120 ms count as 120 and clear the buffers; a clock running
// backwards gives a huge gap.
TEST_F(Shell, FrameClockClampsLongGapsAndClearsThen) {
    // The gap, the seconds it counts for and whether the buffers are cleared.
    const std::tuple<uint32_t, double, bool> gaps[] = {
        {0, 0, false}, {120, 0.12, false}, {121, 0.12, true}, {uint32_t(-1), 0.12, true}};
    FrameClock& clock = FrameClock::instance();
    clock.tick();
    for (const auto& [gap, seconds, clears] : gaps) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(1, 1, 1, 1);
        now += gap;
        clock.tick();
        EXPECT_DOUBLE_EQ(clock.getElapsedSeconds(), seconds) << gap;
        EXPECT_EQ(windowPixels().at(320, 240)[0] == 255, clears) << gap;
    }
}

// The world stands still until play starts; the first playing frame steps
// it by the time since the frame before; frames draw what the world holds.
TEST_F(Shell, FramesStepTheWorldOnlyWhilePlayingAndDrawIt) {
    keyboardCallback('m', 0, 0);
    const Ball& ball = *world().balls.members()[0];
    GLint depth = 0, depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    ScreenState = 3;  // game over: drawn, though no event leads there
    mouseCallback(0, 0, 100, 100);
    EXPECT_TRUE(ScreenState == 3 && EditMode == 0) << "presses are ignored";
    now += 1000;
    displayCallback();
    EXPECT_EQ(ball.y, 80);
    EXPECT_LT(meanDifference(windowPixels(), readPicture("images/gameover.png")), 3);
    ScreenState = 2;
    now += 10;
    displayCallback();
    EXPECT_EQ(ball.y, 73) << "put back inside the field";
    EXPECT_FLOAT_EQ(ball.vy, -0.027f);
    allocations = 0;
    for (int frame = 0; frame < 50; ++frame) now += 10, displayCallback(), idleCallback();
    EXPECT_EQ(allocations, 0);
    allocations = -1;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depth);

    // An attractor of alpha 0 is not drawn, and walls are quads of their
    // thickness along their segments.
    for (float x : {-20.0f, 30.0f}) world().attractors.append(new Attractor{x, 20});
    for (float x : {-10.0f, 10.0f}) {  // one upright, one sloped
        Wall* wall = new Wall{x, 10, x > 0 ? 30 : x, 30};
        wall->finish();
        world().walls.append(wall);
    }
    world().attractors.members()[1]->alpha = 0;  // blinked out
    displayCallback();                           // no time has passed: nothing moves
    const Screenshot shot = windowPixels();
    EXPECT_TRUE(red(at(shot, -20, 20)));
    EXPECT_FALSE(red(at(shot, 30, 20))) << "an attractor of alpha 0 is not drawn";
    for (float y : {11.0f, 20.0f, 29.0f}) {
        EXPECT_TRUE(magenta(at(shot, -10.3f, y)) && magenta(at(shot, -9.7f, y))) << y;
        EXPECT_FALSE(magenta(at(shot, -10.8f, y)) || magenta(at(shot, -9.2f, y))) << y;
        EXPECT_TRUE(magenta(at(shot, y, y))) << "sloped, at " << y;
    }
}

// Real key presses through X, handled late as in a busy field (thousands of
// balls, slow frames): every press adds a ball, whatever came before it, and
// a key held down while X repeats it adds one. Once every key is up, X is no
// longer asked which keys are down, even after a lost release of a key
// without a character of its own.
TEST_F(Shell, EveryPressAddsABallAndAHeldKeyOne) {
    ScreenState = 2;
    const size_t crowd = 8000;
    for (size_t i = 0; i < crowd; ++i) world().balls.append(new Ball);
    static int frames = 0, presses = 0, releases = 0;
    glutDisplayFunc([] { ++frames, displayCallback(); });
    glutKeyboardFunc(
        [](unsigned char key, int x, int y) { ++presses, keyboardCallback(key, x, y); });
    glutKeyboardUpFunc(
        [](unsigned char key, int x, int y) { ++releases, ignoredKeyCallback(key, x, y); });
    const auto added = [&] { return world().balls.members().size() - crowd; };
    // xdotool with these arguments, then frames, input handled between them,
    // until `done`.
    const auto type = [](std::vector<std::string> arguments, const auto& done) {
        arguments.insert(arguments.begin(), "xdotool");
        return succeeds(arguments) &&
               waitUntil([&] { return glutMainLoopEvent(), idleCallback(), done(); });
    };
    const auto released = [](int count) { return [count] { return releases == count; }; };
    ASSERT_TRUE(
        type({"search", "--name", "tumblewell test", "windowfocus", "--sync"}, released(0)));

    for (int pair = 1; pair <= 5; ++pair) {  // the second press before the first release is seen
        ASSERT_TRUE(type({"keydown", "m", "keyup", "m", "keydown", "m"}, released(2 * pair - 1)));
        ASSERT_TRUE(type({"keyup", "m"}, released(2 * pair)));
    }
    EXPECT_EQ(added(), 10u) << "overlapping taps";
    ASSERT_TRUE(type({"keydown", "m", "keydown", "ctrl", "keyup", "m", "keyup", "ctrl", "key", "m"},
                     released(12)));
    EXPECT_EQ(added(), 12u) << "let go with Ctrl held";
    ASSERT_TRUE(type({"key", "--delay", "0", "m", "m", "m", "m"}, released(16)));
    EXPECT_EQ(added(), 16u) << "taps sent with no delay";
    ASSERT_TRUE(succeeds({"xset", "r", "on"}));
    ASSERT_TRUE(type({"keydown", "m"}, [pressed = presses] { return presses - pressed > 10; }))
        << "X did not repeat the held key";
    ASSERT_TRUE(type({"keyup", "m"}, released(17)));
    EXPECT_EQ(added(), 17u) << "held while X repeats it";

    // Let go while another window has the keyboard: the release never comes.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window elsewhere =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 9, 9, 0, 0, 0);
    XMapWindow(display, elsewhere);
    XSync(display, False);
    ASSERT_TRUE(type({"keydown", "m", "keydown", "Return"},
                     [&, before = presses] { return presses == before + 2; }));
    ASSERT_TRUE(type({"windowfocus", "--sync", std::to_string(elsewhere), "keyup", "m", "keyup",
                      "Return", "search", "--name", "tumblewell test", "windowfocus", "--sync"},
                     [&, seen = frames] { return frames >= seen + 2; }));
    XCloseDisplay(display);
    ASSERT_TRUE(type({"key", "m"}, released(18)));
    EXPECT_EQ(added(), 19u) << "pressed again after a lost release";
    const int asked = keymapQueries;
    ASSERT_TRUE(type({"getmouselocation"}, [&, seen = frames] { return frames >= seen + 3; }));
    EXPECT_EQ(keymapQueries, asked);
}
