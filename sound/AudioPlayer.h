// AudioPlayer: starts the sound output, loads the click sample and plays the
// background music as a looping stream through the BASS entry points.
#pragma once

#include "bass.h"

struct AudioPlayer {
    HSTREAM musicStream = 0;
    HSAMPLE clickSample = 0;

    // The one AudioPlayer, created on the first call and never destroyed.
    static AudioPlayer& instance();

    // Opens the output and loads "./audio/click.wav".
    void start();
    // Frees the current music stream, then streams `path` looping, at once.
    void playMusic(const char* path);
};
