// When no output device can be opened, the layer runs silently on SDL's dummy
// driver: loads and streams still work, and it says so in exactly one line.
#include "SoundTestSupport.h"
#include "bass.h"

#include <gtest/gtest.h>

namespace {

TEST(NoSoundDevice, InitSucceedsSilentlyWithOneLineAndEverythingStillWorks) {
    TempDir dir;
    const std::string good = dir.file("tone.wav");
    writeWav(good, sineTone(441.0, 0.2, 0.4));
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);

    BOOL initialised = FALSE;
    const std::string said = captureStderr([&] { initialised = BASS_Init(1, kTestRate, 0, nullptr, nullptr); });
    EXPECT_EQ(initialised, TRUE);
    EXPECT_EQ(lineCount(said), 1u) << said;

    EXPECT_NE(BASS_SampleLoad(FALSE, good.c_str(), 0, 0, 4, BASS_SAMPLE_OVER_POS), 0u);
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, good.c_str(), 0, 0, BASS_SAMPLE_LOOP | BASS_SAMPLE_FX);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);
    EXPECT_EQ(BASS_StreamFree(stream), TRUE);
}

}  // namespace
