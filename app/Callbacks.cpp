#include "Callbacks.h"

#include "Camera.h"
#include "Editing.h"
#include "FrameClock.h"
#include "InputState.h"

#include <GL/freeglut.h>

void reshapeCallback(int width, int height) { Camera::instance().reshape(width, height); }

void displayCallback() { FrameClock::instance().frame(); }

// Frames run back to back: every idle turn asks for the next one.
void idleCallback() {
    FrameClock::instance();
    glutPostRedisplay();
}

void motionCallback(int x, int y) { InputState::instance().onDrag(x, y); }

void passiveMotionCallback(int x, int y) { InputState::instance().onHover(x, y); }

void mouseCallback(int button, int state, int x, int y) { InputState::instance().onButton(button, state, x, y); }

void keyboardCallback(unsigned char key, int, int) {
    InputState::instance();
    editKey(key);
}

// Key releases and special keys (arrows, function keys) do nothing.
void ignoredKeyCallback(unsigned char, int, int) { InputState::instance(); }

void ignoredSpecialKeyCallback(int, int, int) { InputState::instance(); }
