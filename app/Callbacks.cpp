#include "Callbacks.h"

#include "Camera.h"
#include "Editing.h"
#include "FrameClock.h"
#include "InputState.h"

#include <GL/freeglut.h>

namespace {
// The toolkit tells a key repeat from a real release by asking X, when it
// handles the release, whether the key is still down. Handled late, after the
// key was let go, a repeat's release and press pass for real ones; they come
// together, with no frame drawn between them, where a person's never do.
unsigned long framesDrawn = 0;
bool keyReleased = false;
unsigned char releasedKey = 0;
unsigned long releasedAtFrame = 0;
}  // namespace

void reshapeCallback(int width, int height) { Camera::instance().reshape(width, height); }

void displayCallback() {
    ++framesDrawn;
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
    if (keyReleased && key == releasedKey && releasedAtFrame == framesDrawn) return;
    editKey(key);
}

// A key release changes nothing; it is only remembered to tell repeats.
void ignoredKeyCallback(unsigned char key, int, int) {
    InputState::instance();
    keyReleased = true;
    releasedKey = key;
    releasedAtFrame = framesDrawn;
}

// Special keys (arrows, function keys) do nothing.
void ignoredSpecialKeyCallback(int, int, int) { InputState::instance(); }
