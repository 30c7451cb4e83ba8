// Key repeats in the browser: every key event says whether it is a repeat,
// and the toolkit (platform/webgl/glut.js) drops repeats while
// glutIgnoreKeyRepeat asks it to; a key let go elsewhere leaves nothing
// behind. Nothing is left to do here.
#include "KeyRepeat.h"

void startKeyRepeatFilter() {}

bool isFirstPress(unsigned char) { return true; }

void noteKeyRelease(unsigned char) {}

void catchLostKeyReleases() {}
