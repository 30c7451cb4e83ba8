// The real program on its own Xvfb, driven with xdotool as a player drives
// it: the screens, a traced wall, input that draws nothing, a dragged
// attractor, a ball stopped by a wall, a held key, broken run-time data, a
// reader of its output that goes away, no display, closing the window, Ctrl-C
// and kill, and a stretch of random play. A world point (x, y) is window
// pixel (320 + 6.4 x, 480 - 6.4 y).
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>
#include <tuple>

#include "Program.h"

namespace {

namespace fs = std::filesystem;
const std::string source = TUMBLEWELL_SOURCE_DIR;

bool wallColour(const uint8_t* rgb) { return rgb[0] > 230 && rgb[1] < 40 && rgb[2] > 200; }
bool white(const uint8_t* rgb) { return rgb[0] > 240 && rgb[1] > 240 && rgb[2] > 240; }
// The field's light grey.
bool backdrop(const uint8_t* rgb) {
    return std::min({rgb[0], rgb[1], rgb[2]}) > 120 && std::max({rgb[0], rgb[1], rgb[2]}) < 215;
}

// How many pixels of a colour a box holds (the part in the window), and
// where their centre is.
struct Patch {
    int pixels = 0;
    double x = 0, y = 0;
};
Patch find(const Screenshot& shot, bool (*colour)(const uint8_t*), int left = 0, int top = 0,
           int right = 639, int bottom = 479) {
    Patch patch;
    for (int y = std::max(top, 0); y <= std::min(bottom, 479) && !shot.rgb.empty(); ++y)
        for (int x = std::max(left, 0); x <= std::min(right, 639); ++x)
            if (colour(shot.at(x, y)))
                patch = {patch.pixels + 1, patch.x + x + 0.5, patch.y + y + 0.5};
    return {patch.pixels, patch.x / std::max(patch.pixels, 1), patch.y / std::max(patch.pixels, 1)};
}

// A whole token (some 500 pixels) centred there.
bool tokenAt(const Patch& patch, double x, double y, double within = 1.5) {
    return patch.pixels > 300 && std::abs(patch.x - x) < within && std::abs(patch.y - y) < within;
}

// Whether a screenshot shows an attractor's token at window point (x, y):
// whole, or the quarter of it that a corner of the window shows.
std::function<bool(const Screenshot&)> attractorAt(int x, int y) {
    return [=](const Screenshot& shot) {
        const Patch token = find(shot, red, x - 40, y - 40, x + 40, y + 40);
        const bool corner = x % 640 == 0 && y % 480 == 0;
        return corner ? token.pixels > 100 && std::abs(token.x - x) < 8 && std::abs(token.y - y) < 8
                      : tokenAt(token, x, y);
    };
}

// The program's pictures and sounds in a folder of their own; the music cut
// to its first `musicBytes`, when given.
std::string copyData(const TempDir& dir, size_t musicBytes = 0) {
    fs::copy(source + "/images", dir.file("images"));
    fs::copy(source + "/audio", dir.file("audio"));
    if (musicBytes > 0) fs::resize_file(dir.file("audio/backgroundmusic.mp3"), musicBytes);
    return dir.path();
}

// Most tests start here: the title, which keys do not leave, then a left
// press shows the instructions and another starts play, neither of them
// starting a wall, with the window kept at 640 x 480 and the music heard
// through SDL's disk output.
class Playing : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program.shows("titlescreen.png")) << program.errors();
        program.key("x");
        ASSERT_TRUE(program.inputHandled()) << "the window keeps to 640 x 480";
        ASSERT_TRUE(program.shows("titlescreen.png")) << "a key left the title";
        program.click(320, 240);
        ASSERT_TRUE(program.shows("instructions.png"));
        program.click(320, 240);
        ASSERT_TRUE(program.shows("gray.png"));
    }
    // The music cut to its first second: a few seconds of play hear it loop.
    TempDir data, heard;
    Program program{copyData(data, 16000),
                    {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", heard.file("music")}}};
};

}  // namespace

// Middle, right and wheel presses, special and shifted keys draw nothing;
// two left clicks draw a rubber band, then a traced wall.
TEST_F(Playing, TwoLeftClicksDrawARubberBandThenATracedWallAndNothingElseDoes) {
    for (int button : {2, 3, 4, 5}) program.click(100 + 50 * button, 300, button);
    for (const char* key : {"shift+m", "shift+a", "Left", "F1", "Escape"}) program.key(key);
    program.click(193, 97);
    program.moveTo(449, 301);
    const auto bandAt = [](const Screenshot& s, int x, int y) {
        return find(s, wallColour, x - 1, y - 1, x + 1, y + 1).pixels > 0;
    };
    Screenshot shot;
    program.waitForScreen([&](const Screenshot& s) { return bandAt(s, 257, 148); }, &shot);
    EXPECT_TRUE(bandAt(shot, 321, 199) && bandAt(shot, 385, 250)) << "no band to (449, 301)";
    EXPECT_EQ(program.output(), "");
    program.click(449, 97);
    ASSERT_TRUE(waitUntil([&] { return lines(program.output()) == 1; }));
    EXPECT_EQ(program.output(), "(-19.8438, 59.8438) (20.1562, 59.8438)\n");
    // Along that row the band shows a line; the wall, 40 by 1 units, alone.
    const auto wallAlone = [&](const Screenshot& s) {
        return find(s, wallColour, 0, 90, 639, 104).pixels == 256 * 6 && !bandAt(s, 321, 199);
    };
    EXPECT_TRUE(program.waitForScreen(wallAlone, &shot))
        << find(shot, wallColour, 0, 90, 639, 104).pixels << " wall pixels";
    EXPECT_EQ(find(shot, blue).pixels + find(shot, red).pixels, 0) << "a token";
    // Ctrl-C in its terminal; the Windows program has no console to take it.
    const bool windows = programUnderTest().command != linuxProgram().command;
    EXPECT_TRUE(windows || program.endsOn(SIGINT)) << "Ctrl-C";
}

// A press just off an attractor's rim starts a wall, and a press on it while
// a wall is drawn ends the wall there: neither grabs it. A left press just
// inside its rim does, and the release of any button lets it go; dragged out
// of the window, it is held on the field's corner.
TEST_F(Playing, AttractorsAreDraggedAndStayOnTheField) {
    program.key("a");
    ASSERT_TRUE(program.waitForScreen(attractorAt(320, 288)));
    program.click(333, 287);
    program.click(325, 283);
    ASSERT_TRUE(waitUntil([&] { return lines(program.output()) == 1; }));
    // Each drag starts where the one before left the token, 1.77 units from
    // its centre towards the field's: had a release not let go of it, the
    // move after would have taken it elsewhere.
    int x = 320, y = 288;
    for (const auto& [button, toX, toY] :
         {std::tuple{1, 480, 120}, {2, 160, 360}, {3, 480, 360}, {1, 900, -200}, {1, -200, 700}}) {
        program.moveTo(x + (x < 320 ? 8 : -8), y + (y < 240 ? 8 : -8));
        program.xdotool({"mousedown", "1"});
        if (button != 1) program.xdotool({"mousedown", std::to_string(button)});
        program.moveTo(toX, toY);
        x = std::clamp(toX, 0, 640), y = std::clamp(toY, 0, 480);
        ASSERT_TRUE(program.waitForScreen(attractorAt(x, y)))
            << toX << ", " << toY << ", " << button;
        program.xdotool({"mouseup", std::to_string(button)});
        program.moveTo(toX + 100, toY);
        if (button != 1) program.xdotool({"mouseup", "1"});
    }
    program.moveTo(300, 300);
    program.key("a");  // a second token, in a frame drawn after all the input above
    Screenshot shot;
    ASSERT_TRUE(program.waitForScreen(attractorAt(320, 288), &shot));
    EXPECT_TRUE(attractorAt(0, 480)(shot)) << "released, it stays";
    EXPECT_EQ(program.output(), "(2.03125, 30.1562) (0.78125, 30.7812)\n") << "a drag drew a wall";
}

// Dropped in at the top by a held 'm', while X repeats it, one ball is
// pulled down by an attractor at (0, 30) and comes to rest on a wall across
// its way, 2.1 units above its line; kill ends the program.
TEST_F(Playing, AHeldKeyDropsOneBallThatFallsOntoAWallAndRestsOnIt) {
    program.click(192, 96);
    program.click(448, 96);
    program.key("a");
    ASSERT_TRUE(program.waitForScreen(attractorAt(320, 288)));  // a resize would blank Wine's field
    program.xdotool({"keydown", "m", "sleep", "2", "keyup", "m"});
    // Balls dropped at the repeat rate would be strung out while they fall,
    // for a second or two: more pixels than one ball has. Dropped anywhere
    // but above the attractor, a ball would fall off the middle line.
    int stillFor = 0, mostPixels = 0;  // screenshots in a row; in one
    Screenshot shot;
    const auto resting = [&](const Screenshot& s) {
        const Patch balls = find(s, blue);
        const bool offLine = balls.pixels > 0 && std::abs(balls.x - 320) > 3;
        mostPixels = std::max(mostPixels, offLine ? 999 : balls.pixels);
        stillFor = tokenAt(balls, 320, 96 - 2.1 * 6.4, 3) ? stillFor + 1 : 0;
        return stillFor == 10;
    };
    EXPECT_TRUE(program.waitForScreen(resting, &shot));
    EXPECT_LT(mostPixels, 700) << "more than one ball, or off the middle line";
    EXPECT_EQ(find(shot, blue, 0, 100, 639, 479).pixels, 0) << "got past the wall";
    EXPECT_TRUE(program.endsOn(SIGTERM)) << "kill";
}

// Each broken picture is drawn as a plain white square and named once on
// stderr, as is the broken music. The middle and right buttons lead through
// the screens here, and keys act on the title and instructions too: a ball
// falls through an attractor. A reader that goes away, as `tumblewell | head
// -n 1` does, gets the first wall; the others are no longer traced, which is
// said once. The program plays on and closes cleanly. With no display at
// all, it says what to do in one line.
TEST(BrokenData, PlainSquaresAndOneLineForEachBrokenFileClosedOutputOrMissingDisplay) {
    TempDir dir;
    copyData(dir);
    dir.write("images/titlescreen.png", "");
    dir.write("images/instructions.png", "not a picture\n");
    fs::resize_file(dir.file("images/redtoken.png"), 300);
    dir.write("audio/backgroundmusic.mp3", std::string(5000, 'U'));
    fs::remove(dir.file("images/bluetoken.png"));
    fs::create_directory(dir.file("images/bluetoken.png"));
    Launcher piped = programUnderTest();
    piped.command.insert(piped.command.begin(), {"sh", "-c", "\"$@\" | head -n 1", "sh"});

    Program program(dir.path(), {}, piped);
    const auto allWhite = [](const Screenshot& s) { return find(s, white).pixels == 640 * 480; };
    ASSERT_TRUE(program.waitForScreen(allWhite)) << "a white title";
    program.key("m");
    program.click(320, 240, 2);
    program.key("a");
    program.click(320, 240, 3);
    // Two white squares of 25.6 pixels on the backdrop, on the field's middle
    // line, the attractor's at (0, 30).
    const auto tokens = [](const Screenshot& s) {
        const Patch squares = find(s, white);
        return squares.pixels > 1200 && squares.pixels < 1400 && std::abs(squares.x - 320) < 1 &&
               find(s, white, 308, 276, 332, 300).pixels == 25 * 25;
    };
    EXPECT_TRUE(program.waitForScreen(tokens));
    for (int row = 100; row <= 280; row += 60) {
        program.click(40, row);
        program.click(200, row);
        ASSERT_TRUE(waitUntil([&] { return lines(program.output()) == 1; }));
    }
    EXPECT_TRUE(program.inputHandled()) << "no longer playing";
    EXPECT_EQ(program.closeWindow(), 0);
    const std::string errors = program.errors();
    for (const char* name : {"titlescreen.png", "instructions.png", "bluetoken.png", "redtoken.png",
                             "backgroundmusic.mp3", ": standard output is closed"})
        EXPECT_NE(errors.find(name), std::string::npos) << name;
    EXPECT_EQ(lines(errors), 6) << errors;

    Program withoutDisplay(source, {{"DISPLAY", ""}});
    EXPECT_EQ(withoutDisplay.waitForExit(), 1);
    EXPECT_TRUE(lines(withoutDisplay.errors()) == 1 &&
                withoutDisplay.errors().find("cannot open its window") != std::string::npos)
        << withoutDisplay.errors();
}

// Random clicks, drags and keys for a few seconds, or for as long as
// TUMBLEWELL_PLAY_SECONDS asks when run by hand: the program keeps up, keeps
// drawing the field, prints a well-formed line for every finished wall and
// closes cleanly.
TEST_F(Playing, KeepsPlayingThroughRandomInput) {
    const char* asked = std::getenv("TUMBLEWELL_PLAY_SECONDS");
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::seconds(asked ? std::atoi(asked) : 4);
    std::mt19937 rng(42);
    while (std::chrono::steady_clock::now() < end) {
        const int x = int(rng() % 700) - 30, y = int(rng() % 540) - 30;
        if (rng() % 3 == 0) program.key(rng() % 2 ? "m" : "a");
        if (rng() % 2 == 0) program.xdotool({"mousedown", "1"});
        program.moveTo(x, y);
        program.xdotool({"mouseup", "1"});
    }
    EXPECT_TRUE(program.waitForScreen(
        [](const Screenshot& s) { return find(s, backdrop).pixels > 640 * 480 / 2; }));
    // The track lasts a second; the third second of output is its loop.
    const std::string music = contentsOf(heard.file("music"));
    const size_t second = 44100 * 4;
    ASSERT_GT(music.size(), 3 * second);
    EXPECT_LT(std::count(music.begin() + 2 * second, music.begin() + 3 * second, 0),
              long(second / 2))
        << "silent after one pass: the music does not loop";
    EXPECT_EQ(program.closeWindow(), 0);  // handled after all the input above
    // Every line a wall's: nothing is left once they are taken out.
    const std::string point = R"(\(-?[0-9.e+-]+, -?[0-9.e+-]+\))";
    EXPECT_EQ(std::regex_replace(program.output(), std::regex(point + " " + point + "\n"), ""), "");
    EXPECT_EQ(std::regex_replace(program.errors(), std::regex("CRITICAL: .*\n"), ""), "")
        << "more than SDL's notice of its disk output";
}
