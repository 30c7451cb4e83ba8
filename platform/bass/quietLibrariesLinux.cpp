// Quiet sound libraries on Linux: ALSA, and libmpg123 under SDL_mixer.
#include "quietLibraries.h"

#include <alsa/asoundlib.h>
#include <mpg123.h>

namespace {

// Without a sound card, ALSA prints a screenful of its own messages before SDL
// gets the error back.
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void quietSoundLibraries() { snd_lib_error_set_handler(ignoreAlsaMessage); }

// SDL_mixer makes its MP3 decoders with mpg123_new and never asks them to be
// quiet, so libmpg123 prints notes on stderr for every damaged frame it skips:
// at load, and again from the audio thread on every pass of a looping track,
// for as long as the program runs. This definition takes the place of
// libmpg123's own (SDL_mixer links libmpg123, and the dynamic linker binds its
// call to the program's symbol first) and makes the same decoder, quiet. It is
// linked in with quietSoundLibraries, which the sound layer always calls.
extern "C" mpg123_handle* mpg123_new(const char* decoder, int* error) {
    mpg123_pars* settings = mpg123_new_pars(error);
    if (settings == nullptr) {
        return nullptr;
    }
    mpg123_par(settings, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_handle* handle = mpg123_parnew(settings, decoder, error);
    mpg123_delete_pars(settings);
    return handle;
}
