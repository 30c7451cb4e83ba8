// Test entry for programs that need an OpenGL context: starts a private
// Xvfb, opens one 640 x 480 GLUT window like the program's own and runs the
// tests with its context current.
#include "GlWindow.h"
#include "Xvfb.h"

#include <GL/freeglut.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <cstdlib>

namespace glwindow {

void pumpEvents() {
    for (int i = 0; i < 10; ++i) glutMainLoopEvent();
}

std::array<uint8_t, 4> pixelAt(int x, int yFromTop) {
    std::array<uint8_t, 4> rgba{};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, 479 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

std::vector<uint8_t> readBackBuffer() {
    std::vector<uint8_t> bottomUp(640 * 480 * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint8_t> topDown(bottomUp.size());
    for (int row = 0; row < 480; ++row)
        std::copy_n(&bottomUp[(479 - row) * 640 * 4], 640 * 4, &topDown[row * 640 * 4]);
    return topDown;
}

}  // namespace glwindow

// The GL driver, and D-Bus under SDL's audio, keep memory until the process
// ends; only leaks allocated inside those libraries are passed over (the
// same list lsan.supp gives the program under test).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\nleak:libdbus-1.so\n";
}

// The driver is unloaded before the leak check runs, which would leave its
// allocations in an unknown module: loaded here first, it stays to the end.
static void keepGlDriverLoaded() {
#ifdef TUMBLEWELL_GL_DRIVER
    dlopen(TUMBLEWELL_GL_DRIVER, RTLD_NOW | RTLD_NODELETE);
#endif
}

static void ignoreDisplay() {}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Xvfb server;
    setenv("DISPLAY", server.display().c_str(), 1);
    keepGlDriverLoaded();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH | GLUT_RGBA);
    glutInitWindowSize(640, 480);
    glutCreateWindow("tumblewell test");
    glutDisplayFunc(ignoreDisplay);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glwindow::pumpEvents();
    int result = RUN_ALL_TESTS();
    glutExit();  // let go of the display before its server stops
    return result;
}
