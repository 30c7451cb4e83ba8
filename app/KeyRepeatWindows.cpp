// Key repeats on Windows: every key message carries the key's previous state,
// from which the toolkit tells a repeat exactly, however late the message is
// handled; a release that never comes leaves nothing behind either. The
// toolkit's own check is enough, and nothing is left to do here.
#include "KeyRepeat.h"

void startKeyRepeatFilter() {}

bool isFirstPress(unsigned char) { return true; }

void noteKeyRelease(unsigned char) {}

void catchLostKeyReleases() {}
