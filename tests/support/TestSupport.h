// What many tests need beside a private X server and children (Processes.h):
// polling, commands run to their end, what a piece of code prints on stderr,
// and pictures to compare.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Processes.h"

using namespace std::chrono_literals;

// Polls until the condition holds or the deadline passes; true if it held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 20s);

// Standard output of a command run to its end, on `display` when given; its
// exit status goes to `status` when given (-1 when it did not exit by itself).
std::string outputOf(const std::vector<std::string>& command, const std::string& display = "",
                     int* status = nullptr);

// Whether a command, run to its end on `display` when given, exits with 0.
inline bool succeeds(const std::vector<std::string>& command, const std::string& display = "") {
    int status = -1;
    outputOf(command, display, &status);
    return status == 0;
}

// How many lines a text holds, each ending in "\n".
inline long lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

// A file's bytes; empty when it cannot be read.
std::string contentsOf(const std::string& path);

// What `action` writes on this process's standard error.
inline std::string stderrOf(const std::function<void()>& action) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

// 640 x 480 RGB pixels, rows top first.
struct Screenshot {
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return &rgb[(size_t(y) * 640 + x) * 3]; }
};

// The tokens' colours as drawn, in all three channels, so that a tint shows:
// a ball's blue and an attractor's red.
inline bool blue(const uint8_t* c) { return c[2] > 150 && c[2] > c[0] + 80 && c[1] > c[0] + 30; }
inline bool red(const uint8_t* c) { return c[1] > 50 && c[0] > std::max(c[1], c[2]) + 80; }

// A picture file as 640 x 480 RGB over white, read with ImageMagick.
Screenshot readPicture(const std::string& path);
// Mean absolute difference per channel (0 to 255); 255 for unequal sizes.
double meanDifference(const Screenshot& a, const Screenshot& b);
