// Shared set-up of the end-to-end tests: where the binary and the run-time
// data are, a program started on its own Xvfb, and what the tests look for
// on its screen and in its wall trace.
#pragma once
#include "Program.h"
#include "Xvfb.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

std::string binaryPath();
std::string sourceFolder();  // holds images/ and audio/

// A fresh Xvfb with the program started in `workDir`, its sound on SDL's
// dummy driver unless the environment says otherwise.
struct Session {
    explicit Session(const std::string& workDir = sourceFolder(),
                     std::vector<std::pair<std::string, std::string>> environment = {});
    Xvfb server;
    Program program;
};

// Clicks at a window pixel: moves there first, since a press acts where the
// pointer last moved.
void clickAt(Program& program, int x, int y);

// One of the pictures in images/, scaled to the window.
Screenshot picture(const std::string& name);

// Close enough to the picture itself: sampling and scaling may shift a
// colour by a level or two, a wrong or missing picture by far more.
bool shows(const Screenshot& screen, const Screenshot& expected);

// "640x480" from xdotool's report of the window's geometry.
std::string windowSize(Program& program);

// Returns once the program has handled every pointer and key event sent
// before the call (false if it did not in time). The program answers a
// resize with a resize back to 640 x 480, and X delivers that request's
// notice after the input already queued for the window.
bool waitForInputHandled(Program& program);

// Waits for the title, then presses the left button twice and waits for the
// backdrop; fails, saying which screen did not come, if one did not.
testing::AssertionResult enterPlaying(Program& program);

// When it goes out of scope in a test that has failed, keeps the latest
// screenshot held in `shot` as <test name>.png in the working folder.
struct KeepIfFailed {
    const Screenshot& shot;
    ~KeepIfFailed();
};

// Tests that start on the playing screen of a fresh session; the latest
// screenshot they hold in `shot` is kept if they fail.
class PlayingScreen : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(enterPlaying(program)); }

    Session session;
    Program& program = session.program;
    Screenshot shot;
    KeepIfFailed keep{shot};
};

// Colours of the playing screen, tolerant of blending at token rims.
using ColourTest = std::function<bool(const uint8_t* rgb)>;
bool isWallColour(const uint8_t* rgb);       // (255, 0, 234)
bool isBallColour(const uint8_t* rgb);       // the blue token
bool isAttractorColour(const uint8_t* rgb);  // the red token
bool isWhite(const uint8_t* rgb);

// A 4-connected patch of matching pixels.
struct Blob {
    int pixels = 0;
    double centreX = 0.0;
    double centreY = 0.0;
    int left = 0, top = 0, right = 0, bottom = 0;  // inclusive bounds
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

// Every patch of at least `smallest` matching pixels, largest first.
std::vector<Blob> findBlobs(const Screenshot& shot, const ColourTest& matches, int smallest = 20);

// True when every point of the segment, away from its very ends, has a
// matching pixel within 2 pixels of it (window pixel corners as end points).
bool showsSegment(const Screenshot& shot, const ColourTest& matches, int x1, int y1, int x2,
                  int y2);

// How many pixels in the box [left, right] x [top, bottom] match.
int countMatching(const Screenshot& shot, const ColourTest& matches, int left, int top, int right,
                  int bottom);

// A token of radius 2 world units is 25.6 pixels across.
constexpr double tokenPixels = 25.6;

// The world point a window pixel maps to, computed the way the program does:
// centred in 32-bit floats, scaled in double, stored as 32-bit floats. The
// camera's half-height, 37.5 here, is 37.5 to within a double's rounding in
// the program, which no pixel above the bottom row can show in a float.
struct WorldPoint {
    float x;
    float y;
};
WorldPoint worldAt(int pixelX, int pixelY);

// The line the program prints for a wall between two world points.
std::string traceLine(WorldPoint first, WorldPoint second);

// Copies the repository's images/ and audio/ into `folder`, for a run on
// data of a test's own.
void copyRunTimeData(const std::string& folder);

// The text's lines, without their line ends.
std::vector<std::string> linesOf(const std::string& text);
