// The default device as the program finds it (no SDL_AUDIODRIVER): with a
// sound card it opens quietly; without one (as on a build machine) it falls
// back to silence. Either way at most one line on stderr, none of the sound
// system's own messages, and loading still works.
#include "SoundTestSupport.h"
#include "bass.h"

#include <gtest/gtest.h>

namespace {

TEST(DefaultSoundDevice, OpensOrFallsBackWithAtMostOneLine) {
    TempDir dir;
    const std::string good = dir.file("tone.wav");
    writeWav(good, sineTone(441.0, 0.2, 0.4));
    unsetenv("SDL_AUDIODRIVER");

    BOOL initialised = FALSE;
    const std::string said = captureStderr([&] { initialised = BASS_Init(1, kTestRate, 0, nullptr, nullptr); });
    EXPECT_EQ(initialised, TRUE);
    EXPECT_LE(lineCount(said), 1u) << said;

    EXPECT_NE(BASS_SampleLoad(FALSE, good.c_str(), 0, 0, 4, BASS_SAMPLE_OVER_POS), 0u);
    EXPECT_NE(BASS_StreamCreateFile(FALSE, good.c_str(), 0, 0, BASS_SAMPLE_LOOP | BASS_SAMPLE_FX), 0u);
}

}  // namespace
