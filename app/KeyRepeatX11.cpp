// Key repeats under X11. The toolkit's own check asks X, when it handles a
// release, whether the key is down again; handled late (slow frames), a quick
// second tap passes for a repeat, and its release and press are dropped. Where
// the server grants detectable auto-repeat, a held key sends presses with no
// release between them, so a press of a key still down is a repeat, however
// late it is handled: the program keeps its own table of keys down and turns
// the toolkit's check off. Elsewhere the toolkit's check stays.
#include "KeyRepeat.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>

#include <cctype>

namespace {

Display* display = nullptr;  // set while the program tells repeats itself
bool keyDown[256] = {};
int keysDown = 0;

// The key a character comes from, whatever the modifiers held made of it:
// Shift turns 'm' into 'M', Control into 0x0D. The table is kept by key, so
// that a release clears its key however it is reported.
unsigned char keyOf(unsigned char character) {
    const bool control = (glutGetModifiers() & GLUT_ACTIVE_CTRL) != 0;
    if (control && character >= 1 && character <= 26) return character - 1 + 'a';
    return static_cast<unsigned char>(std::tolower(character));
}

void markUp(unsigned char key) {
    if (keyDown[key]) --keysDown;
    keyDown[key] = false;
}

}  // namespace

void startKeyRepeatFilter() {
    Display* connection = glXGetCurrentDisplay();
    Bool granted = False;
    if (connection == nullptr || !XkbSetDetectableAutoRepeat(connection, True, &granted) ||
        !granted)
        return;
    display = connection;
    glutIgnoreKeyRepeat(0);
}

bool isFirstPress(unsigned char character) {
    if (display == nullptr) return true;  // the toolkit has dropped the repeats
    const unsigned char key = keyOf(character);
    if (keyDown[key]) return false;
    keyDown[key] = true;
    ++keysDown;
    return true;
}

void noteKeyRelease(unsigned char character) {
    if (display != nullptr) markUp(keyOf(character));
}

// A key let go while another window had the keyboard sends its release there.
// X is asked which keys are down; the answer counts only when no event came
// in with it, since the server sends every event it made before answering,
// and one not yet handled may still release or repeat a key.
void catchLostKeyReleases() {
    if (display == nullptr || keysDown == 0) return;
    char keymap[32];
    XQueryKeymap(display, keymap);
    if (XEventsQueued(display, QueuedAlready) > 0) return;
    for (int key = 0; key < 256; ++key) {
        if (!keyDown[key]) continue;
        // Latin-1 characters are their own key symbols. A key without one
        // (Enter, Tab, Escape) cannot be asked about, and is let go, lest X
        // be asked on every frame for ever.
        const KeyCode code = XKeysymToKeycode(display, KeySym(key));
        if (code == 0 || (keymap[code / 8] & (1 << (code % 8))) == 0)
            markUp(static_cast<unsigned char>(key));
    }
}
