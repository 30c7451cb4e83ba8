// The AudioPlayer as the program uses it, heard through SDL's disk audio
// driver in a working directory holding ./audio/click.wav: the music starts at
// once and loops, and a second playMusic stops the first before the second
// starts, so the two are never heard together.
#include "AudioPlayer.h"
#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Tones of a whole number of periods per second, measured over blocks of
// whole periods of both (100 and 35 frames).
const double kFirstHz = 441.0;
const double kSecondHz = 1260.0;
const size_t kBlock = 700;
const double kLevel = 0.4;
const size_t kStartLatencyFrames = kTestRate / 5;

// SDL opens the output once per process: the output, the files and the
// started AudioPlayer are made on first use and kept until exit.
struct SharedOutput {
    TempDir dir;
    DiskOutput output{dir.file("output.raw")};
    bool ready = false;

    SharedOutput() {
        output.selectDiskDriver();
        writeWav(dir.file("first.wav"), sineTone(kFirstHz, 1.0, kLevel));
        writeWav(dir.file("second.wav"), sineTone(kSecondHz, 1.0, kLevel));
        ready = mkdir(dir.file("audio").c_str(), 0755) == 0 &&
                encodeMp3(dir.file("first.wav"), dir.file("first.mp3")) &&
                encodeMp3(dir.file("second.wav"), dir.file("second.mp3")) &&
                chdir(dir.path().c_str()) == 0;
        writeWav(dir.file("audio/click.wav"), sineTone(kSecondHz, 0.05, kLevel));
        AudioPlayer::instance().start();
    }
};

SharedOutput& shared() {
    static SharedOutput instance;
    return instance;
}

class AudioPlayerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(shared().ready) << "no test files or no lame"; }

    // Each test starts from silence: stop the music and let the buffers
    // already mixed with it drain.
    void TearDown() override {
        if (!shared().ready) {
            return;
        }
        AudioPlayer& player = AudioPlayer::instance();
        BASS_StreamFree(player.musicStream);
        player.musicStream = 0;
        output->waitForFrames(output->framesWritten(), kStartLatencyFrames);
    }

    const TempDir* dir = &shared().dir;
    const DiskOutput* output = &shared().output;
};

TEST_F(AudioPlayerTest, IsOneRecordThatLoadsTheClickFromTheAudioFolder) {
    EXPECT_EQ(&AudioPlayer::instance(), &AudioPlayer::instance());
    EXPECT_NE(AudioPlayer::instance().clickSample, 0u);
}

TEST_F(AudioPlayerTest, MusicStartsAtOnceAndKeepsLooping) {
    AudioPlayer& player = AudioPlayer::instance();
    const size_t before = output->framesWritten();
    player.playMusic(dir->file("first.mp3").c_str());
    ASSERT_NE(player.musicStream, 0u);

    const size_t clipFrames = kTestRate;
    const Pcm heard = output->waitForFrames(before, kStartLatencyFrames + 3 * clipFrames);
    ASSERT_EQ(frameCount(heard), kStartLatencyFrames + 3 * clipFrames) << "the output stopped";
    const size_t onset = firstSoundingFrame(heard, 0);
    ASSERT_LE(onset, kStartLatencyFrames);
    // The first tone (the codec lowers its level a little) at a steady level
    // through two loops.
    const double level = toneAmplitude(heard, onset + clipFrames / 2, kBlock, kFirstHz);
    EXPECT_NEAR(level, kLevel * 32767.0, 0.1 * kLevel * 32767.0);
    for (size_t start = onset + kBlock; start + kBlock <= onset + 5 * clipFrames / 2;
         start += kBlock) {
        ASSERT_NEAR(toneAmplitude(heard, start, kBlock, kFirstHz), level, 0.02 * level)
            << "at frame " << start - onset;
    }
}

TEST_F(AudioPlayerTest, SecondMusicReplacesTheFirstWithoutOverlap) {
    AudioPlayer& player = AudioPlayer::instance();
    const size_t before = output->framesWritten();
    player.playMusic(dir->file("first.mp3").c_str());
    const HSTREAM firstStream = player.musicStream;
    ASSERT_NE(firstStream, 0u);
    const Pcm start = output->waitForFrames(before, kStartLatencyFrames);
    ASSERT_LT(firstSoundingFrame(start, 0), kStartLatencyFrames);

    player.playMusic(dir->file("second.mp3").c_str());
    EXPECT_NE(player.musicStream, 0u);
    EXPECT_NE(player.musicStream, firstStream);
    EXPECT_EQ(BASS_ChannelPlay(firstStream, FALSE), FALSE) << "the first stream was not freed";

    const size_t switched = output->framesWritten() - before;
    const Pcm heard = output->waitForFrames(before, switched + kStartLatencyFrames + kTestRate / 2);
    const double level = kLevel * 32767.0;
    // Two tones sounding together would add up well above either one's level.
    EXPECT_LT(peakLevel(heard, 0, frameCount(heard)), 1.2 * level);

    // Once the second tone has sounded the first never returns, and no block
    // holds both at full level (a block where one hands over to the other
    // holds each in proportion to its share of the block).
    size_t firstBlocks = 0;
    size_t secondBlocks = 0;
    for (size_t block = 0; block + kBlock <= frameCount(heard); block += kBlock) {
        const double firstLevel = toneAmplitude(heard, block, kBlock, kFirstHz);
        const double secondLevel = toneAmplitude(heard, block, kBlock, kSecondHz);
        EXPECT_FALSE(firstLevel > 0.75 * level && secondLevel > 0.75 * level)
            << "both tones at frame " << block;
        const bool first = firstLevel > 0.1 * level;
        const bool second = secondLevel > 0.1 * level;
        EXPECT_FALSE(first && secondBlocks > 0) << "first tone back at frame " << block;
        firstBlocks += first ? 1 : 0;
        secondBlocks += second ? 1 : 0;
    }
    EXPECT_GT(firstBlocks, 0u);
    EXPECT_GT(secondBlocks, 0u);
}

}  // namespace
