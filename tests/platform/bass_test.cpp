// The sound layer as the program meets it, heard through SDL's disk audio
// driver, which writes every mixed buffer to a file: streams play their file
// sample for sample and loop without a gap, and a bad file, a bad call or a
// missing device fails quietly.
// The output opens once per process: ctest runs each test in one of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "TempDir.h"
#include "TestSupport.h"
#include "bass.h"

namespace {

using Frames = std::vector<int32_t>;  // stereo frames of two 16-bit samples

// A hundredth of a second of noise that sox writes as 16-bit stereo WAV at
// 44100 Hz, and its frames.
Frames noise(const std::string& path) {
    outputOf(
        {"sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path, "synth", "0.01", "whitenoise"});
    const std::string wav = contentsOf(path);
    Frames frames((wav.size() - wav.find("data") - 8) / 4);
    std::memcpy(frames.data(), wav.data() + wav.find("data") + 8, frames.size() * 4);
    return frames;
}

struct WithADevice : testing::Test {
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", dir.file("heard").c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "5", 1);  // ms a buffer: faster than it plays
        ASSERT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), TRUE);
    }

    size_t playedSoFar() const { return contentsOf(dir.file("heard")).size() / 4; }
    // Frames [first, first + count) of what was played, once they were.
    Frames heard(size_t first, size_t count) const {
        std::string bytes;
        waitUntil(
            [&] { return (bytes = contentsOf(dir.file("heard"))).size() >= (first + count) * 4; });
        bytes.resize((first + count) * 4);
        Frames frames(count);
        std::memcpy(frames.data(), bytes.data() + first * 4, count * 4);
        return frames;
    }

    TempDir dir;
};

}  // namespace

TEST_F(WithADevice, StreamsPlayTheirFileExactlyAndLoopWithoutAGap) {
    const Frames track = noise(dir.file("track.wav")), other = noise(dir.file("other.wav"));
    const HSTREAM looping = BASS_StreamCreateFile(FALSE, dir.file("track.wav").c_str(), 0, 0,
                                                  BASS_SAMPLE_LOOP | BASS_SAMPLE_FX);
    const HSTREAM once = BASS_StreamCreateFile(FALSE, dir.file("other.wav").c_str(), 0, 0, 0);
    ASSERT_TRUE(looping != 0 && once != 0 && once != looping);
    for (const auto& [stream, played] : {std::pair{looping, &track}, {once, &other}}) {
        const size_t before = playedSoFar();
        ASSERT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);  // another stream stops
        // The output runs on meanwhile: allow for what it wrote during the call.
        const size_t latest = playedSoFar() - before + 8192;
        // A loop plays on for ever: more passes than any count would give.
        const Frames frames =
            heard(before, latest + (stream == looping ? 1000 : 3) * played->size());
        const size_t start = size_t(
            std::search(frames.begin(), frames.end(), played->begin(), played->begin() + 64) -
            frames.begin());
        EXPECT_LE(start, latest) << "started late, or not at all";
        // Then the track again and again, or once and silence.
        for (size_t at = 0; start + at < frames.size(); ++at)
            ASSERT_EQ(frames[start + at],
                      stream == looping || at < played->size() ? (*played)[at % played->size()] : 0)
                << "frame " << at;
    }
    EXPECT_EQ(BASS_StreamFree(once), TRUE);
    EXPECT_EQ(BASS_StreamFree(once), FALSE);
    EXPECT_EQ(BASS_ChannelPlay(once, FALSE), FALSE);
}

// A file that cannot be played is named in one line; playing the 0 handle
// that the program then holds says nothing. A track damaged in the middle
// plays on past the damage, and the decoder underneath says nothing of the
// frames it skips.
TEST_F(WithADevice, BadFilesFailInOneLineAndADamagedTrackPlaysOnQuietly) {
    noise(dir.file("click.wav"));
    EXPECT_NE(BASS_SampleLoad(FALSE, dir.file("click.wav").c_str(), 0, 0, 2, 0), 0u);
    mkfifo(dir.file("fifo.mp3").c_str(), 0644);  // no one writes to it
    for (const std::string& bad :
         {dir.file("missing.mp3"), dir.write("text.wav", "not sound\n"), dir.file("fifo.mp3")}) {
        const std::string printed = stderrOf([&] {
            EXPECT_EQ(BASS_StreamCreateFile(FALSE, bad.c_str(), 0, 0, BASS_SAMPLE_LOOP), 0u);
            EXPECT_EQ(BASS_ChannelPlay(0, FALSE), FALSE);
            EXPECT_EQ(BASS_SampleLoad(FALSE, bad.c_str(), 0, 0, 4, 0), 0u);
        });
        EXPECT_EQ(lines(printed), 2) << printed;
        EXPECT_NE(printed.find(bad + ": not played"), std::string::npos) << printed;
    }
    std::string track = contentsOf(TUMBLEWELL_SOURCE_DIR "/audio/backgroundmusic.mp3");
    track.resize(64000);                  // four seconds
    track.replace(24000, 600, 600, 'U');  // a few frames at 1.5 s, less than the decoder skips
    const std::string path = dir.write("damaged.mp3", track);
    Frames frames;
    const std::string printed = stderrOf([&] {
        const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
        const size_t before = playedSoFar();
        EXPECT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);
        frames = heard(before, 5 * 44100);
    });
    EXPECT_EQ(printed, "");
    EXPECT_LT(std::count(frames.begin(), frames.end(), 0), 2 * 44100) << "stopped at the damage";
}

// With no device, one line says so, also where ALSA would say more of its
// own; every later call fails quietly.
TEST(WithoutADevice, InitFailsInOneLineAndTheRestQuietly) {
    TempDir dir;
    const std::string good = dir.file("good.wav");
    noise(good);
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("AUDIODEV", "hw:99", 1);  // no such sound card
    const std::string printed = stderrOf([&] {
        EXPECT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), FALSE);
        EXPECT_EQ(BASS_SampleLoad(FALSE, good.c_str(), 0, 0, 4, 0), 0u);
        EXPECT_EQ(BASS_StreamCreateFile(FALSE, good.c_str(), 0, 0, 0), 0u);
    });
    EXPECT_EQ(lines(printed), 1) << printed;
    EXPECT_NE(printed.find("no sound device"), std::string::npos) << printed;
}
