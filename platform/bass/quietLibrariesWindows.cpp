// Quiet sound libraries on Windows: libmpg123 under SDL_mixer. Sound output
// goes through Windows' own audio, which prints nothing. The browser's build,
// where libmpg123 is linked in whole too and sound goes through Web Audio,
// uses this file as it is.
#include <mpg123.h>

#include "quietLibraries.h"

void quietSoundLibraries() {}

// libmpg123 is linked into the program whole, so its mpg123_new cannot be
// replaced: the linker hands SDL_mixer's calls to this one instead
// (-Wl,--wrap=mpg123_new). Linked in with quietSoundLibraries, which the sound
// layer always calls, before SDL_mixer's library is searched.
extern "C" mpg123_handle* __wrap_mpg123_new(const char* decoder, int* error) {
    return newQuietDecoder(decoder, error);
}
