// Keeps the libraries under the sound layer from writing on stderr: the
// layer reports what goes wrong itself, in one line (bass.h).
#pragma once

// Before the sound output is opened.
void quietSoundLibraries();
