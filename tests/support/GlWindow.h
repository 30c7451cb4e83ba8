// A real GLUT window with a current OpenGL context on a private Xvfb, for
// tests that draw and read pixels back. One per test program (GLUT allows
// one initialisation per process); gl_test_main.cpp sets it up.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace glwindow {

// Pumps the toolkit's events so the window is mapped and reshapes arrive.
void pumpEvents();

// The pixel at window column x, row y counted from the top, as RGBA bytes.
std::array<uint8_t, 4> pixelAt(int x, int yFromTop);

// The whole back buffer, rows top first, RGBA.
std::vector<uint8_t> readBackBuffer();

}  // namespace glwindow
