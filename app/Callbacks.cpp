#include "Callbacks.h"

#include "Camera.h"
#include "Editing.h"
#include "FrameClock.h"
#include "InputState.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>

#include <cctype>

namespace {
// A held key repeats; only its first press counts. Where the X server offers
// detectable auto-repeat, a held key sends presses with no release between
// them, so a press of a key that is still down is a repeat, however late it
// is handled. Elsewhere the toolkit tells a repeat by asking X, when it
// handles the release, whether the key is still down. Handled late, after
// the key was let go, a repeat's release and press pass for real ones; they
// come together, with no frame drawn between them, where a person's never do.
bool repeatsDetectable = false;
bool keyDown[256] = {};
unsigned long framesDrawn = 0;
bool keyReleased = false;
unsigned char releasedKey = 0;
unsigned long releasedAtFrame = 0;

bool isRepeat(unsigned char key) {
    if (repeatsDetectable) return keyDown[key];
    return keyReleased && key == releasedKey && releasedAtFrame == framesDrawn;
}
}  // namespace

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
    Display* display = glXGetCurrentDisplay();
    Bool supported = False;
    repeatsDetectable =
        display != nullptr && XkbSetDetectableAutoRepeat(display, True, &supported) && supported;
}

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
    const bool repeat = isRepeat(key);
    keyDown[key] = true;
    if (!repeat) editKey(key);
}

// A key release changes nothing; it is only remembered to tell repeats. It
// reports the key as the modifiers held at the release make it, so a key let
// go of with Shift held ('M') lets go of its other case ('m') too.
void ignoredKeyCallback(unsigned char key, int, int) {
    InputState::instance();
    keyDown[key] = keyDown[std::tolower(key)] = keyDown[std::toupper(key)] = false;
    keyReleased = true;
    releasedKey = key;
    releasedAtFrame = framesDrawn;
}

// Special keys (arrows, function keys) do nothing.
void ignoredSpecialKeyCallback(int, int, int) { InputState::instance(); }
