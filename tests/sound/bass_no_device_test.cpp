// When no output device can be opened, the layer says so in exactly one line
// and fails; loads and plays then fail quietly, so the program runs silently.
#include "SoundTestSupport.h"
#include "bass.h"

#include <gtest/gtest.h>

namespace {

TEST(NoSoundDevice, InitFailsWithOneLineAndLaterCallsFailQuietly) {
    TempDir dir;
    const std::string good = dir.file("tone.wav");
    writeWav(good, sineTone(441.0, 0.2, 0.4));
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);

    BOOL initialised = TRUE;
    const std::string said =
        captureStderr([&] { initialised = BASS_Init(1, kTestRate, 0, nullptr, nullptr); });
    EXPECT_EQ(initialised, FALSE);
    EXPECT_EQ(lineCount(said), 1u) << said;
    EXPECT_NE(said.find("no sound device"), std::string::npos) << said;

    const std::string saidLater = captureStderr([&] {
        EXPECT_EQ(BASS_SampleLoad(FALSE, good.c_str(), 0, 0, 4, BASS_SAMPLE_OVER_POS), 0u);
        const HSTREAM stream =
            BASS_StreamCreateFile(FALSE, good.c_str(), 0, 0, BASS_SAMPLE_LOOP | BASS_SAMPLE_FX);
        EXPECT_EQ(stream, 0u);
        EXPECT_EQ(BASS_ChannelPlay(stream, FALSE), FALSE);
        EXPECT_EQ(BASS_StreamFree(stream), FALSE);
    });
    EXPECT_EQ(saidLater, "");
}

}  // namespace
