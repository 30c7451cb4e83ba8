// Sound of the real program. Without a sound device (none on this machine, or
// a driver that does not exist) it starts and plays on, with at most one line
// about sound. Through SDL's disk audio driver, which writes every mixed
// buffer to a file faster than real time, its output is the music itself,
// sample for sample as SDL_mixer decodes ./audio/backgroundmusic.mp3, and
// goes on past the track's end into the next pass without a gap. A music file
// damaged part way through makes no noise on stderr while it plays.
#include "E2e.h"
#include "SoundTestSupport.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

using namespace std::chrono_literals;

namespace {

// What the program said, less the disk driver's own notice that it is in use.
std::vector<std::string> linesBesidesDiskNotice(const std::string& text) {
    std::vector<std::string> kept = linesOf(text);
    kept.erase(
        std::remove_if(kept.begin(), kept.end(),
                       [](const std::string& line) { return line.rfind("CRITICAL: ", 0) == 0; }),
        kept.end());
    return kept;
}

// The music as SDL_mixer decodes it, in the format the program opens its
// output in (stereo, 16-bit, 44100 Hz); empty if it cannot be decoded.
Pcm decodedMusic(const std::string& path) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Pcm pcm;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return pcm;
    if (Mix_OpenAudio(kTestRate, MIX_DEFAULT_FORMAT, 2, 2048) == 0) {
        if (Mix_Chunk* chunk = Mix_LoadWAV(path.c_str())) {
            const auto* samples = reinterpret_cast<const int16_t*>(chunk->abuf);
            pcm.assign(samples, samples + chunk->alen / sizeof(int16_t));
            Mix_FreeChunk(chunk);
        }
        Mix_CloseAudio();
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return pcm;
}

// The program's output, written by SDL's disk driver into `file`.
std::vector<std::pair<std::string, std::string>> diskOutputTo(const std::string& file) {
    return {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", file}, {"SDL_DISKAUDIODELAY", "2"}};
}

// Where the music starts in the output: its first sounding frame, less the
// frames of silence the track itself starts with.
size_t musicStart(const Pcm& heard, const Pcm& music) {
    const size_t firstSound = firstSoundingFrame(heard, 0);
    return firstSound - std::min(firstSound, firstSoundingFrame(music, 0));
}

TEST(Music, OutputIsTheTrackSampleForSampleAndLoopsWithoutAGap) {
    const Pcm music = decodedMusic(sourceFolder() + "/audio/backgroundmusic.mp3");
    const size_t musicFrames = frameCount(music);
    ASSERT_GT(musicFrames, static_cast<size_t>(19 * kTestRate))
        << "the track does not decode to its 20 s";

    TempDir dir;
    DiskOutput output(dir.file("output.raw"));
    Session session(sourceFolder(), diskOutputTo(dir.file("output.raw")));
    Program& program = session.program;
    ASSERT_FALSE(program.window().empty()) << program.errors();

    const Pcm opening = output.waitForFrames(0, 10 * kTestRate);
    ASSERT_LT(firstSoundingFrame(opening, 0), frameCount(opening))
        << "silent; program says: " << program.errors();
    const size_t start = musicStart(opening, music);

    // Two and a half passes: the output goes on past 20 s of music, and the
    // part after the track's end is its beginning again, with no frame lost,
    // added or changed at the wrap.
    const size_t span = 2 * musicFrames + musicFrames / 2;
    const Pcm heard = output.waitForFrames(0, start + span);
    ASSERT_EQ(frameCount(heard), start + span)
        << "the output stopped; program says: " << program.errors();
    EXPECT_GE(matchingRun(heard, start, music, 0), span);
    EXPECT_GT(peakLevel(heard, start + musicFrames, kTestRate), 3000)
        << "silent after the first pass";
    EXPECT_TRUE(program.running()) << program.errors();
    EXPECT_TRUE(linesBesidesDiskNotice(program.errors()).empty()) << program.errors();
}

enum class Damage { GarbageAfterTheFirstThird, BytesFlippedThroughout };

std::string nameOf(Damage damage) {
    return damage == Damage::GarbageAfterTheFirstThird ? "GarbageAfterTheFirstThird"
                                                       : "BytesFlippedThroughout";
}

void PrintTo(Damage damage, std::ostream* out) { *out << nameOf(damage); }

std::string damagedCopy(const std::string& source, Damage damage) {
    std::ifstream in(source, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::mt19937 generator(7);
    if (damage == Damage::GarbageAfterTheFirstThird) {
        bytes.resize(bytes.size() / 3);
        for (int i = 0; i < 200000; ++i) bytes.push_back(static_cast<char>(generator()));
    } else {
        for (size_t at = 50000; at < bytes.size(); at += 5000)
            bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
    }
    return bytes;
}

class DamagedMusic : public testing::TestWithParam<Damage> {};

// The decoder meets the damage in SDL's audio thread, pass after pass; it must
// not say so on stderr. What it does there is the decoder's business: it
// skips damaged frames, and gives up on a track whose rest is garbage.
TEST_P(DamagedMusic, PlaysWhatItCanAndSaysNothingWhilePlaying) {
    const Pcm music = decodedMusic(sourceFolder() + "/audio/backgroundmusic.mp3");
    const size_t musicFrames = frameCount(music);
    ASSERT_GT(musicFrames, 0u);

    TempDir work;
    copyRunTimeData(work.path());
    writeFile(work.file("audio/backgroundmusic.mp3"),
              damagedCopy(sourceFolder() + "/audio/backgroundmusic.mp3", GetParam()));
    DiskOutput output(work.file("output.raw"));
    Session session(work.path(), diskOutputTo(work.file("output.raw")));
    Program& program = session.program;
    ASSERT_FALSE(program.window().empty()) << program.errors();

    const Pcm opening = output.waitForFrames(0, 10 * kTestRate);
    ASSERT_LT(firstSoundingFrame(opening, 0), frameCount(opening))
        << "silent; program says: " << program.errors();
    const size_t start = musicStart(opening, music);
    EXPECT_GE(matchingRun(opening, start, music, 0), static_cast<size_t>(2 * kTestRate))
        << "the undamaged beginning did not play as it is";

    const Pcm heard = output.waitForFrames(0, start + 2 * musicFrames + musicFrames / 2);
    ASSERT_EQ(frameCount(heard), start + 2 * musicFrames + musicFrames / 2) << "the output stopped";
    if (GetParam() == Damage::BytesFlippedThroughout) {
        EXPECT_GT(peakLevel(heard, start + musicFrames + kTestRate, kTestRate), 3000)
            << "did not loop";
    }
    EXPECT_TRUE(program.running()) << program.errors();
    EXPECT_TRUE(linesBesidesDiskNotice(program.errors()).empty()) << program.errors();
}

INSTANTIATE_TEST_SUITE_P(Music, DamagedMusic,
                         testing::Values(Damage::GarbageAfterTheFirstThird,
                                         Damage::BytesFlippedThroughout),
                         [](const testing::TestParamInfo<Damage>& info) {
                             return nameOf(info.param);
                         });

// No sound card: SDL's default drivers find nothing on this machine; a
// driver named in SDL_AUDIODRIVER that does not exist fails the same way.
struct NoDeviceCase {
    std::string name;
    std::string driver;  // empty: SDL_AUDIODRIVER unset
};

void PrintTo(const NoDeviceCase& c, std::ostream* out) { *out << c.name; }

class NoSoundDevice : public testing::TestWithParam<NoDeviceCase> {};

TEST_P(NoSoundDevice, ProgramPlaysOnWithAtMostOneLineAboutSound) {
    Session session(sourceFolder(), {{"SDL_AUDIODRIVER", GetParam().driver}});
    Program& program = session.program;
    ASSERT_TRUE(enterPlaying(program));
    program.key("a");
    program.key("m");
    clickAt(program, 100, 400);
    clickAt(program, 500, 380);
    EXPECT_TRUE(program.waitForOutputLines(1, 10s)) << "the wall was not finished";
    EXPECT_TRUE(program.running()) << program.errors();

    const std::vector<std::string> said = linesOf(program.errors());
    if (GetParam().driver.empty()) {
        EXPECT_LE(said.size(), 1u) << program.errors();
    } else {
        EXPECT_EQ(said.size(), 1u) << program.errors();
    }
    for (const std::string& line : said) EXPECT_NE(line.find("sound"), std::string::npos) << line;

    ASSERT_TRUE(program.closeWindow());
    EXPECT_EQ(program.waitForExit(30s), 0) << program.errors();
}

INSTANTIATE_TEST_SUITE_P(Sound, NoSoundDevice,
                         testing::Values(NoDeviceCase{"DriverUnset", ""},
                                         NoDeviceCase{"NoSuchDriver", "no-such-driver"}),
                         [](const testing::TestParamInfo<NoDeviceCase>& info) {
                             return info.param.name;
                         });

}  // namespace
