// Started with no display to open its window on, the program says so in one
// plain line that names xvfb-run, instead of a toolkit error.
#include "E2e.h"

#include <gtest/gtest.h>
#include <algorithm>

using namespace std::chrono_literals;

TEST(NoDisplay, OneLineThatNamesXvfbRun) {
    Xvfb unused;  // Program wants a server; DISPLAY is then taken away
    Program program(unused, binaryPath(), sourceFolder(),
                    {{"DISPLAY", ""}, {"SDL_AUDIODRIVER", "dummy"}});
    EXPECT_EQ(program.waitForExit(20s), 1);
    const std::string& errors = program.errors();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("xvfb-run"), std::string::npos) << errors;
    EXPECT_EQ(errors.rfind("tumblewell: ", 0), 0u) << errors;
    EXPECT_EQ(program.output(), "");
}
