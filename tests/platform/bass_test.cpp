// The sound layer as the program meets it, heard through SDL's disk audio
// driver, which writes every mixed buffer to a file: streams play their file
// sample for sample and loop without a gap, samples keep to their number of
// playbacks, and a bad file, a bad call or a missing device fails quietly.
// The output opens once per process: ctest runs each test in one of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "TempDir.h"
#include "TestSupport.h"
#include "bass.h"

namespace {

using Frames = std::vector<int32_t>;  // stereo frames of two 16-bit samples

// Noise that never rests on zero: no stretch of it passes for silence.
Frames noise(size_t count, uint32_t seed) {
    Frames frames(count);
    for (int32_t& frame : frames)
        frame = int32_t((seed = seed * 1664525u + 1013904223u) | 0x10001u);
    return frames;
}

std::string wav(const Frames& frames) {
    const auto word = [](uint32_t v, size_t bytes) {
        return std::string(reinterpret_cast<char*>(&v), bytes);
    };
    const uint32_t size = uint32_t(frames.size() * 4);
    return "RIFF" + word(36 + size, 4) + "WAVEfmt " + word(16, 4) + word(1, 2) + word(2, 2) +
           word(44100, 4) + word(44100 * 4, 4) + word(4, 2) + word(16, 2) + "data" + word(size, 4) +
           std::string(reinterpret_cast<const char*>(frames.data()), size);
}

class WithADevice : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", dir.file("heard").c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "5", 1);  // ms a buffer: faster than it plays
        ASSERT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), TRUE);
    }

    // The next `count` frames played after `first` were.
    Frames heard(size_t first, size_t count) const {
        std::string bytes;
        for (int wait = 0;
             wait < 3000 && (bytes = contentsOf(dir.file("heard"))).size() < (first + count) * 4;
             ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Frames frames(std::min(count, std::max(bytes.size() / 4, first) - first));
        std::memcpy(frames.data(), bytes.data() + first * 4, frames.size() * 4);
        return frames;
    }
    size_t playedSoFar() const { return contentsOf(dir.file("heard")).size() / 4; }

    TempDir dir;
};

}  // namespace

TEST_F(WithADevice, StreamsPlayTheirFileExactlyAndLoopWithoutAGap) {
    const Frames track = noise(4410, 7), other = noise(4410, 11);
    const HSTREAM looping = BASS_StreamCreateFile(FALSE, dir.write("track.wav", wav(track)).c_str(),
                                                  0, 0, BASS_SAMPLE_LOOP | BASS_SAMPLE_FX);
    const HSTREAM once =
        BASS_StreamCreateFile(FALSE, dir.write("other.wav", wav(other)).c_str(), 0, 0, 0);
    ASSERT_TRUE(looping != 0 && once != 0 && once != looping);
    for (const auto& [stream, played] : {std::pair{looping, &track}, {once, &other}}) {
        const size_t before = playedSoFar();
        ASSERT_EQ(BASS_ChannelPlay(stream, FALSE), TRUE);  // another stream stops
        const Frames frames = heard(before, 8192 + 3 * played->size());
        const size_t start = size_t(
            std::search(frames.begin(), frames.end(), played->begin(), played->begin() + 64) -
            frames.begin());
        EXPECT_LE(start, 8192u) << "started late, or not at all";
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

// A sample plays up to its limit of playbacks, or replaces its oldest. A
// file that cannot be played is named in one line; other bad calls say nothing.
TEST_F(WithADevice, SamplesKeepToTheirLimitAndBadFilesAndCallsFailQuietly) {
    const std::string click = dir.write("click.wav", wav(noise(44100, 3)));
    const HSAMPLE limited = BASS_SampleLoad(FALSE, click.c_str(), 0, 0, 2, 0);
    const HSAMPLE replacing = BASS_SampleLoad(FALSE, click.c_str(), 0, 0, 1, BASS_SAMPLE_OVER_POS);
    for (BOOL played : {TRUE, TRUE, FALSE}) EXPECT_EQ(BASS_ChannelPlay(limited, FALSE), played);
    for (BOOL played : {TRUE, TRUE}) EXPECT_EQ(BASS_ChannelPlay(replacing, FALSE), played);
    const Frames frames = heard(playedSoFar(), 4096);
    EXPECT_NE(std::count(frames.begin(), frames.end(), 0), long(frames.size())) << "silence";
    for (const std::string& bad : {dir.file("missing.mp3"), dir.write("text.wav", "not sound\n")}) {
        const std::string printed = stderrOf([&] {
            EXPECT_EQ(BASS_StreamCreateFile(FALSE, bad.c_str(), 0, 0, BASS_SAMPLE_LOOP), 0u);
            EXPECT_EQ(BASS_SampleLoad(FALSE, bad.c_str(), 0, 0, 4, 0), 0u);
        });
        EXPECT_EQ(lines(printed), 2) << printed;
        EXPECT_NE(printed.find(bad + ": not played"), std::string::npos) << printed;
    }
    EXPECT_EQ(stderrOf([&] {
                  EXPECT_EQ(BASS_StreamCreateFile(TRUE, click.c_str(), 0, 0, 0), 0u);
                  EXPECT_EQ(BASS_StreamCreateFile(FALSE, click.c_str(), 44, 0, 0), 0u);
                  EXPECT_EQ(BASS_SampleLoad(FALSE, click.c_str(), 0, 100, 1, 0), 0u);
                  EXPECT_EQ(BASS_SampleLoad(FALSE, click.c_str(), 0, 0, 0, 0), 0u);
                  EXPECT_EQ(BASS_SampleLoad(FALSE, nullptr, 0, 0, 1, 0), 0u);
                  EXPECT_EQ(BASS_ChannelPlay(0, FALSE), FALSE);
                  EXPECT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), FALSE) << "already open";
              }),
              "");
}

// With no device, one line says so; every later call fails quietly.
TEST(WithoutADevice, InitFailsInOneLineAndTheRestQuietly) {
    TempDir dir;
    const std::string good = dir.write("good.wav", wav(noise(100, 1)));
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    const std::string printed = stderrOf([&] {
        EXPECT_EQ(BASS_SampleLoad(FALSE, good.c_str(), 0, 0, 1, 0), 0u) << "before Init";
        EXPECT_EQ(BASS_Init(2, 44100, 0, nullptr, nullptr), FALSE) << "no such device number";
        EXPECT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), FALSE);
        EXPECT_EQ(BASS_StreamCreateFile(FALSE, good.c_str(), 0, 0, 0), 0u);
    });
    EXPECT_EQ(lines(printed), 1) << printed;
    EXPECT_NE(printed.find("no sound device"), std::string::npos) << printed;
}
