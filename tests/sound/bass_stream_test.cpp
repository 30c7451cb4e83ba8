// The sound layer's streams, heard through SDL's disk audio driver: they start
// at once, loop seamlessly, play once without the loop flag, stop when freed,
// and every bad file or handle fails quietly with 0.
#include "SoundTestSupport.h"
#include "bass.h"

#include <gtest/gtest.h>

namespace {

// A tone of a whole number of periods per second, so a one-second clip loops
// without a phase jump and any block of whole periods measures it.
const double kToneHz = 441.0;
const size_t kTonePeriod = 100;  // frames
const double kToneLevel = 0.4;
// Music must be heard within this many frames of the call returning (a few
// mixer buffers).
const size_t kStartLatencyFrames = kTestRate / 5;

// SDL opens the output once per process, so the output and the test files
// are made on first use and kept until exit; every test reads what its own
// sounds added to the output from the point it started.
struct SharedOutput {
    TempDir dir;
    DiskOutput output{dir.file("output.raw")};
    Pcm noiseSource = noise(kTestRate / 2);
    Pcm toneSource = sineTone(kToneHz, 1.0, kToneLevel);
    bool ready = false;

    SharedOutput() {
        output.selectDiskDriver();
        writeWav(dir.file("noise.wav"), noiseSource);
        writeWav(dir.file("tone.wav"), toneSource);
        ready = encodeMp3(dir.file("tone.wav"), dir.file("tone.mp3")) &&
                BASS_Init(1, kTestRate, 0, nullptr, nullptr) == TRUE;
    }
};

SharedOutput& shared() {
    static SharedOutput instance;
    return instance;
}

class StreamTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(shared().ready) << "no disk output or no lame"; }

    void TearDown() override {
        for (HSTREAM stream : streams) {
            BASS_StreamFree(stream);
        }
    }

    HSTREAM createStream(const std::string& name, DWORD flags) {
        const HSTREAM stream = BASS_StreamCreateFile(FALSE, dir->file(name).c_str(), 0, 0, flags);
        streams.push_back(stream);
        return stream;
    }

    const TempDir* dir = &shared().dir;
    const DiskOutput* output = &shared().output;
    const Pcm* noiseSource = &shared().noiseSource;
    const Pcm* toneSource = &shared().toneSource;
    std::vector<HSTREAM> streams;
};

TEST_F(StreamTest, LoopingWavStreamStartsAtOnceAndRepeatsSampleExactly) {
    const HSTREAM stream = createStream("noise.wav", BASS_SAMPLE_LOOP | BASS_SAMPLE_FX);
    ASSERT_NE(stream, 0u);
    const size_t before = output->framesWritten();
    ASSERT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);
    const size_t returned = output->framesWritten();

    const size_t sourceFrames = frameCount(*noiseSource);
    const Pcm heard = output->waitForFrames(before, kStartLatencyFrames + 3 * sourceFrames);
    const size_t onset = firstSoundingFrame(heard, 0);
    ASSERT_LE(onset, returned - before + kStartLatencyFrames) << "music did not start at once";
    EXPECT_GE(matchingRun(heard, onset, *noiseSource, 0), 2 * sourceFrames + sourceFrames / 2)
        << "the loop dropped, repeated or altered frames";
}

TEST_F(StreamTest, StreamWithoutLoopFlagPlaysOnceThenFallsSilent) {
    const HSTREAM stream = createStream("noise.wav", BASS_SAMPLE_FX);
    ASSERT_NE(stream, 0u);
    const size_t before = output->framesWritten();
    ASSERT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);

    const size_t sourceFrames = frameCount(*noiseSource);
    const Pcm heard = output->waitForFrames(before, kStartLatencyFrames + 2 * sourceFrames);
    const size_t onset = firstSoundingFrame(heard, 0);
    ASSERT_LT(onset, frameCount(heard));
    EXPECT_EQ(matchingRun(heard, onset, *noiseSource, 0), sourceFrames);
    EXPECT_EQ(firstSoundingFrame(heard, onset + sourceFrames), frameCount(heard));
}

TEST_F(StreamTest, LoopingMp3StreamHasExactlyTheSourceLengthAndNoGap) {
    const HSTREAM stream = createStream("tone.mp3", BASS_SAMPLE_LOOP | BASS_SAMPLE_FX);
    ASSERT_NE(stream, 0u);
    const size_t before = output->framesWritten();
    ASSERT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);

    const size_t sourceFrames = frameCount(*toneSource);
    const Pcm heard = output->waitForFrames(before, kStartLatencyFrames + 3 * sourceFrames);
    ASSERT_EQ(frameCount(heard), kStartLatencyFrames + 3 * sourceFrames) << "the output stopped";
    const size_t onset = firstSoundingFrame(heard, 0);
    ASSERT_LE(onset, kStartLatencyFrames);

    // Decoding is deterministic, so every pass of a seamless loop repeats the
    // previous one exactly, one source length later; encoder padding or a gap
    // at the wrap would shift it.
    const size_t span = 2 * sourceFrames + sourceFrames / 2;
    const Pcm firstPass(heard.begin() + 2 * onset, heard.begin() + 2 * (onset + sourceFrames));
    EXPECT_GE(matchingRun(heard, onset, firstPass, 0), span);

    // The tone itself (the codec lowers its level a little), with a steady
    // level in every block across two wraps.
    const size_t block = 7 * kTonePeriod;
    const double level = toneAmplitude(heard, onset + sourceFrames / 2, block, kToneHz);
    EXPECT_NEAR(level, kToneLevel * 32767.0, 0.1 * kToneLevel * 32767.0);
    for (size_t start = onset + kTonePeriod; start + block <= onset + span; start += block) {
        ASSERT_NEAR(toneAmplitude(heard, start, block, kToneHz), level, 0.02 * level)
            << "at frame " << start - onset;
    }
    EXPECT_LE(longestQuietRun(heard, onset + kTonePeriod, span, 300), 2u);
}

TEST_F(StreamTest, PlayingAPlayingStreamAgainGoesOnUnlessRestarted) {
    const HSTREAM stream = createStream("noise.wav", BASS_SAMPLE_LOOP);
    ASSERT_NE(stream, 0u);
    const size_t before = output->framesWritten();
    ASSERT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);
    const size_t sourceFrames = frameCount(*noiseSource);
    output->waitForFrames(before, kStartLatencyFrames + sourceFrames / 3);
    ASSERT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);
    // Long enough after that call for a wrong restart there to stand apart.
    output->waitForFrames(output->framesWritten(), sourceFrames);
    const size_t restartCall = output->framesWritten();
    ASSERT_EQ(BASS_ChannelPlay(stream, TRUE), TRUE);
    const size_t restartReturned = output->framesWritten();

    const Pcm heard = output->waitForFrames(
        before, restartReturned - before + kStartLatencyFrames + sourceFrames);
    const size_t onset = firstSoundingFrame(heard, 0);
    const size_t uninterrupted = matchingRun(heard, onset, *noiseSource, 0);
    const size_t restartAt = onset + uninterrupted;
    EXPECT_GE(restartAt + kStartLatencyFrames, restartCall - before)
        << "playing again without restart interrupted it";
    EXPECT_LE(restartAt, restartReturned - before + kStartLatencyFrames)
        << "restart did not start over at once";
    EXPECT_GE(matchingRun(heard, restartAt, *noiseSource, 0), sourceFrames)
        << "restart did not start from the beginning";
}

TEST_F(StreamTest, FreeingAStreamSilencesItAndInvalidatesItsHandle) {
    const HSTREAM stream =
        BASS_StreamCreateFile(FALSE, dir->file("noise.wav").c_str(), 0, 0, BASS_SAMPLE_LOOP);
    ASSERT_NE(stream, 0u);
    const size_t before = output->framesWritten();
    ASSERT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);
    ASSERT_LT(firstSoundingFrame(output->waitForFrames(before, kStartLatencyFrames), 0),
              kStartLatencyFrames);

    ASSERT_EQ(BASS_StreamFree(stream), TRUE);
    const size_t freed = output->framesWritten() + kStartLatencyFrames;
    const Pcm after = output->waitForFrames(freed, kTestRate / 2);
    EXPECT_EQ(firstSoundingFrame(after, 0), frameCount(after));

    EXPECT_EQ(BASS_StreamFree(stream), FALSE);
    EXPECT_EQ(BASS_ChannelPlay(stream, FALSE), FALSE);
}

TEST_F(StreamTest, BadFilesAndUnsupportedArgumentsGiveHandleZeroAndSilence) {
    writeFile(dir->file("empty.mp3"), "");
    writeFile(dir->file("text.wav"), "this is not a sound file\n");
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage.push_back(static_cast<char>((i * 7919) & 0xFF));
    }
    writeFile(dir->file("garbage.mp3"), garbage);
    const std::string good = dir->file("noise.wav");
    const size_t before = output->framesWritten();

    for (const char* name : {"missing.mp3", "empty.mp3", "text.wav", "garbage.mp3"}) {
        const std::string path = dir->file(name);
        EXPECT_EQ(BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_SAMPLE_LOOP), 0u) << name;
        EXPECT_EQ(BASS_SampleLoad(FALSE, path.c_str(), 0, 0, 4, BASS_SAMPLE_OVER_POS), 0u) << name;
    }
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, nullptr, 0, 0, 0), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(TRUE, good.c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, good.c_str(), 44, 0, 0), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, good.c_str(), 0, 1000, 0), 0u);
    EXPECT_EQ(BASS_SampleLoad(FALSE, nullptr, 0, 0, 4, 0), 0u);
    EXPECT_EQ(BASS_SampleLoad(TRUE, good.c_str(), 0, 0, 4, 0), 0u);
    EXPECT_EQ(BASS_SampleLoad(FALSE, good.c_str(), 44, 0, 4, 0), 0u);
    EXPECT_EQ(BASS_SampleLoad(FALSE, good.c_str(), 0, 0, 0, 0), 0u) << "no playback allowed at all";

    const Pcm heard = output->waitForFrames(before, kTestRate / 4);
    EXPECT_EQ(firstSoundingFrame(heard, 0), frameCount(heard));
}

TEST_F(StreamTest, HandleZeroAndUnknownHandlesFailQuietly) {
    EXPECT_EQ(BASS_StreamFree(0), FALSE);
    EXPECT_EQ(BASS_ChannelPlay(0, FALSE), FALSE);
    EXPECT_EQ(BASS_ChannelPlay(0, TRUE), FALSE);
    EXPECT_EQ(BASS_StreamFree(0xDEADBEEF), FALSE);
    EXPECT_EQ(BASS_ChannelPlay(0xDEADBEEF, FALSE), FALSE);

    const HSAMPLE sample = BASS_SampleLoad(FALSE, dir->file("noise.wav").c_str(), 0, 0, 1, 0);
    ASSERT_NE(sample, 0u);
    EXPECT_EQ(BASS_StreamFree(sample), FALSE) << "a sample is not a stream";
}

TEST_F(StreamTest, HandlesAreNonzeroDistinctAndNotReused) {
    const HSAMPLE sample = BASS_SampleLoad(FALSE, dir->file("noise.wav").c_str(), 0, 0, 1, 0);
    const HSTREAM first = BASS_StreamCreateFile(FALSE, dir->file("noise.wav").c_str(), 0, 0, 0);
    ASSERT_NE(sample, 0u);
    ASSERT_NE(first, 0u);
    EXPECT_NE(sample, first);
    ASSERT_EQ(BASS_StreamFree(first), TRUE);
    const HSTREAM second = createStream("noise.wav", 0);
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, first);
    EXPECT_NE(second, sample);
}

TEST_F(StreamTest, InitialisingAgainFailsAndLeavesTheOutputWorking) {
    EXPECT_EQ(BASS_Init(1, kTestRate, 0, nullptr, nullptr), FALSE);
    const HSTREAM stream = createStream("noise.wav", 0);
    ASSERT_NE(stream, 0u);
    const size_t before = output->framesWritten();
    ASSERT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);
    const Pcm heard = output->waitForFrames(before, kStartLatencyFrames + frameCount(*noiseSource));
    EXPECT_EQ(matchingRun(heard, firstSoundingFrame(heard, 0), *noiseSource, 0),
              frameCount(*noiseSource));
}

}  // namespace
