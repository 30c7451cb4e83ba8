// Before the output is open, and after an unsupported device number, nothing
// loads or plays: every call fails quietly with 0.
#include "SoundTestSupport.h"
#include "bass.h"

#include <gtest/gtest.h>

namespace {

TEST(UninitialisedBass, LoadsAndPlaysFailUntilTheOutputIsOpen) {
    TempDir dir;
    const std::string good = dir.file("tone.wav");
    writeWav(good, sineTone(441.0, 0.2, 0.4));
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    for (int unsupportedDevice : {0, 2, -2}) {
        EXPECT_EQ(BASS_Init(unsupportedDevice, kTestRate, 0, nullptr, nullptr), FALSE)
            << unsupportedDevice;
    }
    EXPECT_EQ(BASS_SampleLoad(FALSE, good.c_str(), 0, 0, 4, BASS_SAMPLE_OVER_POS), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, good.c_str(), 0, 0, BASS_SAMPLE_LOOP), 0u);
    EXPECT_EQ(BASS_StreamFree(0), FALSE);
    EXPECT_EQ(BASS_ChannelPlay(0, FALSE), FALSE);
}

}  // namespace
