// Tells a key's first press from the presses the system repeats while the key
// is held, so that a held key acts once and every real press still counts.
// The toolkit's callbacks feed it presses, releases and frames.
#pragma once

// Once the window is open and its callbacks are bound.
void startKeyRepeatFilter();
// A press of `key`, as the toolkit reports it: false when it is a repeat.
bool isFirstPress(unsigned char key);
void noteKeyRelease(unsigned char key);
// Once a frame, before it is drawn: lets go of keys whose release never came.
void catchLostKeyReleases();
