// The screens of the real program: title, instructions, then the playing
// field over the backdrop; and the window that keeps its size.
#include "E2e.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(Screens, TitleThenInstructionsThenBackdrop) {
    Session session;
    Program& program = session.program;
    ASSERT_FALSE(program.window().empty()) << program.errors();

    const Screenshot title = picture("titlescreen.png");
    Screenshot shot =
        program.waitForScreen([&](const Screenshot& s) { return shows(s, title); }, 20s);
    ASSERT_TRUE(shows(shot, title)) << "difference " << meanDifference(shot, title);

    // Keys never change the screen.
    program.moveTo(320, 240);
    program.key("x");
    program.key("space");
    program.key("Return");
    shot = program.screenshot();
    EXPECT_TRUE(shows(shot, title));

    program.click(1);
    const Screenshot instructions = picture("instructions.png");
    shot = program.waitForScreen([&](const Screenshot& s) { return shows(s, instructions); }, 10s);
    EXPECT_TRUE(shows(shot, instructions)) << "difference " << meanDifference(shot, instructions);

    program.click(1);
    const Screenshot backdrop = picture("gray.png");
    shot = program.waitForScreen([&](const Screenshot& s) { return shows(s, backdrop); }, 10s);
    EXPECT_TRUE(shows(shot, backdrop)) << "difference " << meanDifference(shot, backdrop);

    // Neither press started a wall: nothing was traced.
    EXPECT_EQ(program.output(), "");
    EXPECT_TRUE(program.running());
}

TEST(Screens, WindowSnapsBackTo640By480) {
    Session session;
    Program& program = session.program;
    ASSERT_FALSE(program.window().empty()) << program.errors();
    ASSERT_TRUE(waitUntil([&] { return windowSize(program) == "640x480"; }, 10s))
        << windowSize(program);

    ASSERT_TRUE(program.xdotool({"windowsize", program.window(), "800", "600"}));
    // The resize reaches the window, and the program asks it back.
    EXPECT_TRUE(waitUntil([&] { return windowSize(program) == "640x480"; }, 10s))
        << windowSize(program);
    const Screenshot title = picture("titlescreen.png");
    Screenshot shot =
        program.waitForScreen([&](const Screenshot& s) { return shows(s, title); }, 10s);
    EXPECT_EQ(shot.width, 640);
    EXPECT_EQ(shot.height, 480);
    EXPECT_TRUE(shows(shot, title)) << "difference " << meanDifference(shot, title);
}
