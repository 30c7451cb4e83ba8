// How the real program ends: closing its window the way a window manager's
// close button does ends the process with status 0 (and, in the sanitizer
// build, with no leak reported at that exit), whichever screen it is on;
// Ctrl-C and kill end it too, by their signals.
#include "E2e.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

using namespace std::chrono_literals;

namespace {

TEST(Lifecycle, ClosingTheWindowOnTheTitleScreenEndsWithStatusZero) {
    Session session;
    Program& program = session.program;
    const Screenshot title = picture("titlescreen.png");
    Screenshot shot =
        program.waitForScreen([&](const Screenshot& s) { return shows(s, title); }, 20s);
    ASSERT_TRUE(shows(shot, title)) << program.errors();

    ASSERT_TRUE(program.closeWindow());
    EXPECT_EQ(program.waitForExit(30s), 0) << program.errors();
    EXPECT_EQ(program.errors(), "");
}

TEST(Lifecycle, ClosingTheWindowWhilePlayingEndsWithStatusZero) {
    Session session;
    Program& program = session.program;
    ASSERT_TRUE(enterPlaying(program));
    program.key("a");
    program.key("m");
    program.key("m");
    clickAt(program, 100, 400);
    clickAt(program, 500, 380);
    ASSERT_TRUE(program.waitForOutputLines(1, 10s)) << "no wall was finished";
    ASSERT_TRUE(waitForInputHandled(program));

    ASSERT_TRUE(program.closeWindow());
    EXPECT_EQ(program.waitForExit(30s), 0) << program.errors();
    EXPECT_EQ(program.errors(), "");
}

class EndedBySignal : public testing::TestWithParam<int> {};

TEST_P(EndedBySignal, SignalEndsTheProgram) {
    Session session;
    Program& program = session.program;
    ASSERT_TRUE(enterPlaying(program));

    ASSERT_EQ(kill(program.pid(), GetParam()), 0);
    EXPECT_EQ(program.waitForExit(30s), -1) << "exited by itself";
    EXPECT_FALSE(program.running()) << "still running after " << strsignal(GetParam());
    EXPECT_EQ(program.endingSignal(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Lifecycle, EndedBySignal, testing::Values(SIGINT, SIGTERM),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGINT ? "CtrlC" : "Kill");
                         });

}  // namespace
