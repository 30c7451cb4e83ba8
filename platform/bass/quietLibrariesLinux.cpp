// Quiet sound libraries on Linux: ALSA, and libmpg123 under SDL_mixer.
#include <alsa/asoundlib.h>
#include <mpg123.h>

#include "quietLibraries.h"

namespace {

// Without a sound card, ALSA prints a screenful of its own messages before SDL
// gets the error back.
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void quietSoundLibraries() { snd_lib_error_set_handler(ignoreAlsaMessage); }

// Takes the place of libmpg123's own: SDL_mixer links libmpg123, and the
// dynamic linker binds its call to the program's symbol first. Linked in with
// quietSoundLibraries, which the sound layer always calls.
extern "C" mpg123_handle* mpg123_new(const char* decoder, int* error) {
    return newQuietDecoder(decoder, error);
}
