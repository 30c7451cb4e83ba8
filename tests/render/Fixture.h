// Shared by the drawing tests: a folder of small pictures of known colours,
// made with ImageMagick, laid out like the program's images/.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace fixture {

// Makes the folder once per test program and returns its path.
const std::string& pictureFolder();

// Sets the camera's locked view and the playing frame's state, clears to
// white and leaves the world view applied.
void startPlayingFrame();

// Window pixel colour, x from the left, y from the top.
std::array<uint8_t, 4> pixel(int x, int y);
bool isColour(const std::array<uint8_t, 4>& rgba, int r, int g, int b, int tolerance = 2);

using PixelTest = std::function<bool(const std::array<uint8_t, 4>&)>;

// Bounding box of the pixels that pass: {left, top, right, bottom}, or all -1.
std::array<int, 4> boxWhere(const PixelTest& test);
int countWhere(const PixelTest& test);

// Pixels of one colour, and pixels that differ from it (a sprite's soft
// edge over a plain background, say).
PixelTest colour(int r, int g, int b);
PixelTest notColour(int r, int g, int b);

}  // namespace fixture
