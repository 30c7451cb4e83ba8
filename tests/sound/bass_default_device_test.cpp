// The default device as the program finds it (no SDL_AUDIODRIVER): with a
// sound card it opens quietly and loading works; without one (as on a build
// machine) it fails in one line and loading then fails quietly. Either way
// none of the sound system's own messages get through.
#include "SoundTestSupport.h"
#include "bass.h"

#include <gtest/gtest.h>

namespace {

TEST(DefaultSoundDevice, OpensQuietlyOrFailsInOneLine) {
    TempDir dir;
    const std::string good = dir.file("tone.wav");
    writeWav(good, sineTone(441.0, 0.2, 0.4));
    unsetenv("SDL_AUDIODRIVER");

    BOOL initialised = FALSE;
    const std::string said =
        captureStderr([&] { initialised = BASS_Init(1, kTestRate, 0, nullptr, nullptr); });
    EXPECT_EQ(lineCount(said), initialised ? 0u : 1u) << said;

    const std::string saidLater = captureStderr([&] {
        EXPECT_EQ(BASS_SampleLoad(FALSE, good.c_str(), 0, 0, 4, BASS_SAMPLE_OVER_POS) != 0,
                  initialised == TRUE);
        EXPECT_EQ(BASS_StreamCreateFile(FALSE, good.c_str(), 0, 0,
                                        BASS_SAMPLE_LOOP | BASS_SAMPLE_FX) != 0,
                  initialised == TRUE);
    });
    EXPECT_EQ(saidLater, "");
}

}  // namespace
