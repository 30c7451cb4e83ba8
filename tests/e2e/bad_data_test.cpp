// The real program on broken run-time data, one broken thing per case: a
// missing folder, each picture as an empty file, a truncated PNG, a text
// file, a folder or a PNG whose header claims 100000 x 100000 pixels, and the
// music as random bytes or an empty file. Every case plays through the title,
// the instructions and the playing screen with a ball and an attractor, and
// must show a plain white square wherever a picture failed, keep running,
// name each bad file in exactly one line on stderr and say nothing else, and
// end with status 0 when its window is closed (leak-checked in the
// sanitizer build).
#include "E2e.h"
#include "PngTestFiles.h"
#include "SoundTestSupport.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kPictures = {"titlescreen.png", "instructions.png", "gray.png",
                                            "gameover.png",    "bluetoken.png",    "redtoken.png"};

enum class Breakage {
    EmptyFile,
    TruncatedPng,
    TextFile,
    Folder,
    HugeHeader,
    RandomBytes,
    MissingFolder
};

struct BadDataCase {
    std::string name;
    Breakage breakage;
    std::string target;  // a file or folder in the working folder, relative to it
};

// Test names and failure messages show the case by its name.
void PrintTo(const BadDataCase& c, std::ostream* out) { *out << c.name; }

std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    writeFile(path, std::string(bytes.begin(), bytes.end()));
}

// A well-formed PNG (right CRCs, a real IDAT) whose header asks for
// 100000 x 100000 RGBA pixels: 40 GB if a loader believed it.
std::vector<uint8_t> hugeHeaderPng() {
    using namespace pngtest;
    return pngFromChunks({makeChunk("IHDR", ihdrData(100000, 100000, 8, PNG_COLOR_TYPE_RGBA)),
                          makeChunk("IDAT", deflateBytes(std::vector<uint8_t>(4096, 0))),
                          makeChunk("IEND", {})});
}

// Deterministic noise, so a failure can be rerun on the same bytes.
std::vector<uint8_t> randomBytes(size_t count) {
    std::mt19937 generator(20240607);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(generator());
    return bytes;
}

void breakIn(const std::string& workDir, const BadDataCase& c) {
    const std::string path = workDir + "/" + c.target;
    switch (c.breakage) {
    case Breakage::EmptyFile:
        writeFile(path, "");
        break;
    case Breakage::TruncatedPng: {
        std::vector<uint8_t> bytes = fileBytes(path);
        bytes.resize(bytes.size() / 2);
        writeBytes(path, bytes);
        break;
    }
    case Breakage::TextFile:
        writeFile(path, "This is not a picture.\nJust some words.\n");
        break;
    case Breakage::Folder:
        fs::remove(path);
        fs::create_directory(path);
        break;
    case Breakage::HugeHeader:
        writeBytes(path, hugeHeaderPng());
        break;
    // Small enough that the MP3 decoder reaches the end of it while
    // searching for a frame, which it used to narrate line by line.
    case Breakage::RandomBytes:
        writeBytes(path, randomBytes(10000));
        break;
    case Breakage::MissingFolder:
        fs::remove_all(path);
        break;
    }
}

// The files the program cannot use in this case, as it names them.
std::vector<std::string> badFiles(const BadDataCase& c) {
    if (c.target == "images") {
        std::vector<std::string> all;
        for (const std::string& picture : kPictures) all.push_back("./images/" + picture);
        return all;
    }
    if (c.target == "audio") return {"./audio/click.wav", "./audio/backgroundmusic.mp3"};
    return {"./" + c.target};
}

bool pictureIsBad(const BadDataCase& c, const std::string& picture) {
    return c.target == "images" || c.target == "images/" + picture;
}

bool allWhite(const Screenshot& shot) {
    return !shot.empty() && countMatching(shot, isWhite, 0, 0, shot.width - 1, shot.height - 1) ==
                                shot.width * shot.height;
}

// A token drawn without its picture: a white, completely filled square of
// the token's size (a token picture is round and coloured).
bool isPlainToken(const Blob& blob) {
    return std::abs(blob.width() - tokenPixels) <= 3.0 &&
           std::abs(blob.height() - tokenPixels) <= 3.0 &&
           blob.pixels >= 0.95 * blob.width() * blob.height();
}

bool isPictureToken(const Blob& blob) {
    return std::abs(blob.width() - tokenPixels) <= 3.0 &&
           std::abs(blob.height() - tokenPixels) <= 3.0 &&
           blob.pixels < 0.9 * blob.width() * blob.height();
}

bool near(const Blob& blob, double x, double y) {
    return std::abs(blob.centreX - x) <= 2.0 && std::abs(blob.centreY - y) <= 2.0;
}

std::string blobsSeen(const Screenshot& shot, const ColourTest& colour) {
    std::ostringstream text;
    for (const Blob& b : findBlobs(shot, colour))
        text << "[" << b.pixels << " px, " << b.width() << " x " << b.height() << " at "
             << b.centreX << ", " << b.centreY << "] ";
    return text.str();
}

class BadData : public testing::TestWithParam<BadDataCase> {
protected:
    // Waits for the screen of `picture`, or plain white if it is bad.
    void expectScreen(Program& program, const std::string& picture) {
        const bool bad = pictureIsBad(GetParam(), picture);
        const Screenshot expected = bad ? Screenshot{} : ::picture(picture);
        const auto isRight = [&](const Screenshot& s) {
            return bad ? allWhite(s) : shows(s, expected);
        };
        shot = program.waitForScreen(isRight, 20s);
        EXPECT_TRUE(isRight(shot)) << picture << (bad ? " should be plain white" : " did not show")
                                   << "; program says: " << program.errors();
    }

    // Waits for a token of the picture's own look, or a plain white square if
    // the picture is bad; `where` narrows it to one spot when given.
    void expectToken(Program& program, const std::string& picture, const ColourTest& colour,
                     const std::pair<double, double>* where) {
        const bool bad = pictureIsBad(GetParam(), picture);
        const auto isRight = [&](const Screenshot& s) {
            for (const Blob& b : findBlobs(s, bad ? ColourTest(isWhite) : colour, 100))
                if ((bad ? isPlainToken(b) : isPictureToken(b)) &&
                    (where == nullptr || near(b, where->first, where->second)))
                    return true;
            return false;
        };
        shot = program.waitForScreen(isRight, 10s);
        EXPECT_TRUE(isRight(shot))
            << picture << (bad ? " token should be a plain white square" : " token did not show")
            << "; seen: " << blobsSeen(shot, bad ? ColourTest(isWhite) : colour);
    }

    Screenshot shot;
};

TEST_P(BadData, ProgramRunsOnAndDrawsPlainSquaresWherePicturesFailed) {
    const BadDataCase& c = GetParam();
    TempDir work;
    copyRunTimeData(work.path());
    breakIn(work.path(), c);

    Session session(work.path());
    Program& program = session.program;
    KeepIfFailed keep{shot};
    ASSERT_FALSE(program.window().empty()) << "no window; program says: " << program.errors();

    expectScreen(program, "titlescreen.png");
    program.moveTo(320, 240);
    program.click(1);
    expectScreen(program, "instructions.png");
    program.click(1);
    expectScreen(program, "gray.png");

    // A ball waits at the top of the field until an attractor at (0, 30),
    // pixel (320, 288), pulls it. With every picture gone both are white on
    // white: the window must then stay plain white.
    const bool everythingWhite = c.target == "images";
    program.key("m");
    if (!everythingWhite) expectToken(program, "bluetoken.png", isBallColour, nullptr);
    program.key("a");
    const std::pair<double, double> attractorSpot{320.0, 288.0};
    if (!everythingWhite) expectToken(program, "redtoken.png", isAttractorColour, &attractorSpot);
    if (everythingWhite) {
        ASSERT_TRUE(waitForInputHandled(program));
        shot = program.screenshot();
        EXPECT_TRUE(allWhite(shot)) << "a plain square in a white window must be white";
    }
    EXPECT_TRUE(program.running()) << program.errors();

    // One line for each bad file, naming it, and nothing else.
    const std::vector<std::string> said = linesOf(program.errors());
    for (const std::string& file : badFiles(c)) {
        const auto naming = std::count_if(said.begin(), said.end(), [&](const std::string& line) {
            return line.find(file) != std::string::npos;
        });
        EXPECT_EQ(naming, 1) << file << "; program says:\n" << program.errors();
    }
    EXPECT_EQ(said.size(), badFiles(c).size()) << program.errors();

    ASSERT_TRUE(program.closeWindow());
    EXPECT_EQ(program.waitForExit(30s), 0) << program.errors();
}

std::vector<BadDataCase> allCases() {
    std::vector<BadDataCase> cases = {
        {"ImagesFolderMissing", Breakage::MissingFolder, "images"},
        {"AudioFolderMissing", Breakage::MissingFolder, "audio"},
        {"MusicRandomBytes", Breakage::RandomBytes, "audio/backgroundmusic.mp3"},
        {"MusicEmpty", Breakage::EmptyFile, "audio/backgroundmusic.mp3"}};
    const std::vector<std::pair<std::string, Breakage>> pictureBreakages = {
        {"Empty", Breakage::EmptyFile},
        {"Truncated", Breakage::TruncatedPng},
        {"Text", Breakage::TextFile},
        {"Folder", Breakage::Folder},
        {"HugeHeader", Breakage::HugeHeader}};
    for (const std::string& picture : kPictures) {
        std::string stem = picture.substr(0, picture.find('.'));
        stem[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(stem[0])));
        for (const auto& [how, breakage] : pictureBreakages)
            cases.push_back({stem + how, breakage, "images/" + picture});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, BadData, testing::ValuesIn(allCases()),
                         [](const testing::TestParamInfo<BadDataCase>& info) {
                             return info.param.name;
                         });

}  // namespace
