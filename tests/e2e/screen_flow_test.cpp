// The screen sequence as a player meets it: any button press moves from the
// title to the instructions and on to play; wheel turns and keys do not, but
// keys still add their tokens before play starts.
#include "E2e.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const char* screenName(const Screenshot& shot, const Screenshot& title,
                       const Screenshot& instructions, const Screenshot& backdrop) {
    if (shows(shot, title)) return "title";
    if (shows(shot, instructions)) return "instructions";
    if (shows(shot, backdrop)) return "playing";
    return "something else";
}

}  // namespace

TEST(ScreenFlow, MiddleThenRightPressStartPlayWheelAndKeysDoNot) {
    Session session;
    Program& program = session.program;
    Screenshot shot;
    KeepIfFailed keep{shot};
    ASSERT_FALSE(program.window().empty()) << program.errors();
    const Screenshot title = picture("titlescreen.png");
    const Screenshot instructions = picture("instructions.png");
    const Screenshot backdrop = picture("gray.png");
    auto current = [&](const Screenshot& shot) {
        return std::string(screenName(shot, title, instructions, backdrop));
    };

    shot = program.waitForScreen([&](const Screenshot& s) { return shows(s, title); }, 20s);
    ASSERT_EQ(current(shot), "title") << program.errors();

    // On the title: keys and wheel turns first, then one middle press. Had
    // any of the first advanced the screen, the middle press would start play.
    program.moveTo(320, 240);
    program.key("m");
    program.key("x");
    program.key("space");
    program.key("Return");
    program.click(4);
    program.click(5);
    program.click(2);
    ASSERT_TRUE(waitForInputHandled(program));
    auto settled = [&](const Screenshot& s) {
        return current(s) == "instructions" || current(s) == "playing";
    };
    shot = program.waitForScreen(settled, 10s);
    EXPECT_EQ(current(shot), "instructions");

    // The same on the instructions, ended by a right press.
    program.key("a");
    program.key("Escape");
    program.click(4);
    program.click(5);
    ASSERT_TRUE(waitForInputHandled(program));
    shot = program.waitForScreen(settled, 10s);
    EXPECT_EQ(current(shot), "instructions") << "a key or the wheel left the instructions";

    program.click(3);
    shot = program.waitForScreen(
        [&](const Screenshot& s) {
            return current(s) == "playing" && !findBlobs(s, isBallColour).empty() &&
                   !findBlobs(s, isAttractorColour).empty();
        },
        10s);
    ASSERT_EQ(current(shot), "playing");

    // 'm' on the title and 'a' on the instructions each added their token.
    std::vector<Blob> balls = findBlobs(shot, isBallColour);
    std::vector<Blob> attractors = findBlobs(shot, isAttractorColour);
    ASSERT_EQ(balls.size(), 1u);
    ASSERT_EQ(attractors.size(), 1u);
    EXPECT_NEAR(attractors[0].centreX, 320.0, 1.5);
    EXPECT_NEAR(attractors[0].centreY, 288.0, 1.5);
    EXPECT_NEAR(balls[0].centreX, 320.0, 1.5);

    // The presses that moved the screens on started no wall.
    EXPECT_EQ(program.output(), "");
    EXPECT_EQ(countMatching(shot, isWallColour, 0, 0, 639, 479), 0);
    EXPECT_TRUE(program.running());
}
