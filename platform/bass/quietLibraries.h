// Keeps the libraries under the sound layer from writing on stderr: the
// layer reports what goes wrong itself, in one line (bass.h).
#pragma once

struct mpg123_handle_struct;

// Before the sound output is opened.
void quietSoundLibraries();

// SDL_mixer makes its MP3 decoders with mpg123_new and never asks them to be
// quiet, so libmpg123 prints notes on stderr for every damaged frame it skips:
// at load, and again from the audio thread on every pass of a looping track,
// for as long as the program runs. Each system hands SDL_mixer's call to this
// function instead, which makes the same decoder, quiet. A file that cannot
// be opened at all is still named once, by the sound layer.
mpg123_handle_struct* newQuietDecoder(const char* decoder, int* error);
