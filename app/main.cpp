// Tumblewell: a small 2D physics sandbox. Opens the window, wires the
// toolkit's callbacks, sets the scene up once and hands over to the toolkit.
#include "Callbacks.h"
#include "ClosedOutput.h"
#include "FrameClock.h"
#include "Window.h"

#include <GL/freeglut.h>

int main(int argc, char** argv) {
    keepRunningWhenOutputCloses();
    openWindow(&argc, argv);
    bindCallbacks();
    FrameClock::instance().setUpScene();
    glutMainLoop();
    return 0;
}
