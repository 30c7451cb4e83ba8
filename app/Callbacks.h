// The toolkit's callbacks: each fetches a singleton and forwards to it; the
// display and key callbacks also tell the key-repeat filter what happened.
#pragma once

// Binds every callback below to the toolkit and starts the key-repeat
// filter: a held key acts once. Needs the window.
void bindCallbacks();

void reshapeCallback(int width, int height);
void displayCallback();
void idleCallback();
void motionCallback(int x, int y);
void passiveMotionCallback(int x, int y);
void mouseCallback(int button, int state, int x, int y);
void keyboardCallback(unsigned char key, int x, int y);
void ignoredKeyCallback(unsigned char key, int x, int y);
void ignoredSpecialKeyCallback(int key, int x, int y);
