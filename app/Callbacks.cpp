// The toolkit's callbacks, bound once the window is open.
#include "Callbacks.h"

#include "Camera.h"
#include "Editing.h"
#include "FrameClock.h"
#include "InputState.h"
#include "KeyRepeat.h"

#include <GL/freeglut.h>

void bindCallbacks() {
    glutReshapeFunc(reshapeCallback);
    glutDisplayFunc(displayCallback);
    glutIdleFunc(idleCallback);
    glutMotionFunc(motionCallback);
    glutPassiveMotionFunc(passiveMotionCallback);
    glutMouseFunc(mouseCallback);
    glutKeyboardFunc(keyboardCallback);
    glutKeyboardUpFunc(ignoredKeyCallback);
    glutSpecialFunc(ignoredSpecialKeyCallback);
    glutSpecialUpFunc(ignoredSpecialKeyCallback);
    glutIgnoreKeyRepeat(1);
    startKeyRepeatFilter();
}

void reshapeCallback(int width, int height) { Camera::instance().reshape(width, height); }

void displayCallback() {
    catchLostKeyReleases();
    FrameClock::instance().frame();
}

// Frames run back to back: every idle turn asks for the next one.
void idleCallback() {
    FrameClock::instance();
    glutPostRedisplay();
}

void motionCallback(int x, int y) { InputState::instance().onDrag(x, y); }

void passiveMotionCallback(int x, int y) { InputState::instance().onHover(x, y); }

void mouseCallback(int button, int state, int x, int y) {
    InputState::instance().onButton(button, state, x, y);
}

void keyboardCallback(unsigned char key, int, int) {
    InputState::instance();
    if (isFirstPress(key)) editKey(key);
}

// A key release changes nothing; it only tells repeats from presses.
void ignoredKeyCallback(unsigned char key, int, int) {
    InputState::instance();
    noteKeyRelease(key);
}

// Special keys (arrows, function keys) do nothing.
void ignoredSpecialKeyCallback(int, int, int) { InputState::instance(); }
