// Tumblewell: a small 2D physics sandbox. Opens the window, wires the
// toolkit's callbacks, sets the scene up once and hands over to the toolkit.
#include "Callbacks.h"
#include "FrameClock.h"
#include "Window.h"

#include <GL/freeglut.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

// The toolkit's fatal errors (above all: no display to open the window on)
// become one plain line that says what to do.
static void reportToolkitFailure(const char* format, va_list args) {
    char reason[256];
    std::vsnprintf(reason, sizeof reason, format, args);
    std::fprintf(
        stderr,
        "tumblewell: cannot open its window (%s); with no display, run it under a virtual one: "
        "xvfb-run -s '-screen 0 1024x768x24' ./tumblewell\n",
        reason);
    std::exit(1);
}

int main(int argc, char** argv) {
    glutInitErrorFunc(reportToolkitFailure);
    openWindow(&argc, argv);
    bindCallbacks();
    FrameClock::instance().setUpScene();
    glutMainLoop();
    return 0;
}
