// The sound layer's samples: at most `max` playbacks at once, and with
// BASS_SAMPLE_OVER_POS a new playback replaces the one that has played
// longest. Checked on the SDL_mixer channels the layer plays samples on,
// with SDL's dummy driver consuming the output in real time.
#include "SoundTestSupport.h"
#include "bass.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<int> lastFinishedChannel{-1};

void recordFinishedChannel(int channel) { lastFinishedChannel = channel; }

// SDL opens the output once per process: it and the test files are made on
// first use and kept until exit.
struct SharedOutput {
    TempDir dir;
    bool ready = false;

    SharedOutput() {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // Long enough that no playback ends by itself during a test.
        writeWav(dir.file("long.wav"), sineTone(441.0, 30.0, 0.1));
        writeWav(dir.file("blip.wav"), sineTone(441.0, 0.05, 0.1));
        ready = BASS_Init(1, kTestRate, 0, nullptr, nullptr) == TRUE;
        Mix_ChannelFinished(recordFinishedChannel);
    }
};

SharedOutput& shared() {
    static SharedOutput instance;
    return instance;
}

class SampleTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(shared().ready); }

    void TearDown() override { Mix_HaltChannel(-1); }

    static HSAMPLE load(const char* name, DWORD max, DWORD flags) {
        return BASS_SampleLoad(FALSE, shared().dir.file(name).c_str(), 0, 0, max, flags);
    }

    // The channel that started playing since `before` was taken.
    static int newlyPlayingChannel(const std::vector<int>& before) {
        for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel) {
            if (Mix_Playing(channel) &&
                std::find(before.begin(), before.end(), channel) == before.end()) {
                return channel;
            }
        }
        return -1;
    }
};

TEST_F(SampleTest, FullSampleRefusesANewPlaybackWithoutOverPos) {
    const HSAMPLE sample = load("long.wav", 2, 0);
    ASSERT_NE(sample, 0u);
    EXPECT_EQ(BASS_ChannelPlay(sample, FALSE), TRUE);
    EXPECT_EQ(BASS_ChannelPlay(sample, FALSE), TRUE);
    EXPECT_EQ(BASS_ChannelPlay(sample, FALSE), FALSE);
    EXPECT_EQ(Mix_Playing(-1), 2);
}

TEST_F(SampleTest, OverPosReplacesThePlaybackThatHasPlayedLongest) {
    const HSAMPLE sample = load("long.wav", 2, BASS_SAMPLE_OVER_POS);
    ASSERT_NE(sample, 0u);
    ASSERT_EQ(BASS_ChannelPlay(sample, FALSE), TRUE);
    const int oldest = newlyPlayingChannel({});
    ASSERT_EQ(BASS_ChannelPlay(sample, FALSE), TRUE);
    const int younger = newlyPlayingChannel({oldest});
    ASSERT_GE(oldest, 0);
    ASSERT_GE(younger, 0);

    lastFinishedChannel = -1;
    ASSERT_EQ(BASS_ChannelPlay(sample, FALSE), TRUE);
    EXPECT_EQ(lastFinishedChannel, oldest);
    EXPECT_EQ(Mix_Playing(-1), 2);
    lastFinishedChannel = -1;
    ASSERT_EQ(BASS_ChannelPlay(sample, FALSE), TRUE);
    EXPECT_EQ(lastFinishedChannel, younger)
        << "the replacement on the oldest channel is now younger than it";
    EXPECT_EQ(Mix_Playing(-1), 2);
}

TEST_F(SampleTest, EachSampleHasItsOwnPlaybackPlaces) {
    const HSAMPLE first = load("long.wav", 1, 0);
    const HSAMPLE second = load("long.wav", 3, 0);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(BASS_ChannelPlay(second, FALSE), TRUE);
    }
    EXPECT_EQ(BASS_ChannelPlay(first, FALSE), TRUE);
    EXPECT_EQ(BASS_ChannelPlay(first, FALSE), FALSE);
    EXPECT_EQ(BASS_ChannelPlay(second, FALSE), FALSE);
    EXPECT_EQ(Mix_Playing(-1), 4);
}

TEST_F(SampleTest, APlaybackThatEndedFreesItsPlace) {
    const HSAMPLE sample = load("blip.wav", 1, 0);
    ASSERT_NE(sample, 0u);
    ASSERT_EQ(BASS_ChannelPlay(sample, FALSE), TRUE);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (Mix_Playing(-1) != 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(Mix_Playing(-1), 0) << "the blip never finished";
    EXPECT_EQ(BASS_ChannelPlay(sample, FALSE), TRUE);
}

}  // namespace
