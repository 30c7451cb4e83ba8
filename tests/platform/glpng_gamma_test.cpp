// Gamma handling of pngBind: a file without gAMA or sRGB loads as stored
// whatever VIEWING_GAMMA says; a file with either is corrected for the
// display gamma VIEWING_GAMMA names, or for 2.2 when the variable is missing
// or not a usable number. Alpha is never corrected.
#include "PngTestFiles.h"
#include "TextureProbe.h"
#include "glpng.h"
#include "pngDecode.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <optional>

using pngtest::TempDir;
using pngtest::TestPicture;

namespace {

// Sets or unsets VIEWING_GAMMA for one scope and restores it afterwards.
class ScopedViewingGamma {
public:
    explicit ScopedViewingGamma(const char* value) {
        if (const char* old = std::getenv("VIEWING_GAMMA")) previous_ = old;
        if (value != nullptr)
            setenv("VIEWING_GAMMA", value, 1);
        else
            unsetenv("VIEWING_GAMMA");
    }
    ScopedViewingGamma(const ScopedViewingGamma&) = delete;
    ScopedViewingGamma& operator=(const ScopedViewingGamma&) = delete;
    ~ScopedViewingGamma() {
        if (previous_)
            setenv("VIEWING_GAMMA", previous_->c_str(), 1);
        else
            unsetenv("VIEWING_GAMMA");
    }

private:
    std::optional<std::string> previous_;
};

const uint8_t rampLevels[] = {0, 30, 64, 128, 200, 255};
const uint8_t rampAlpha = 100;

TestPicture rampPicture(std::optional<double> fileGamma) {
    std::vector<uint8_t> rgba;
    for (uint8_t level : rampLevels) rgba.insert(rgba.end(), {level, level, level, rampAlpha});
    TestPicture picture = pngtest::rgbaPicture("grey ramp", std::size(rampLevels), 1, true, rgba);
    picture.layout.fileGamma = fileGamma;
    return picture;
}

// The ramp as a display of gamma `display` should show a file of gamma
// `file`: each level raised to 1 / (file * display).
std::vector<int> correctedRamp(double file, double display) {
    std::vector<int> levels;
    for (uint8_t level : rampLevels)
        levels.push_back(int(std::lround(255.0 * std::pow(level / 255.0, 1.0 / (file * display)))));
    return levels;
}

std::vector<int> storedRamp() { return correctedRamp(1.0, 1.0); }

class GlpngGamma : public ::testing::Test {
protected:
    // Loads the file and returns the grey level of each ramp texel; fails
    // the test if a texel is not grey or its alpha changed.
    std::vector<int> loadedRamp(const std::string& path) {
        const GLuint texture = texprobe::loadAsProgramDoes(path);
        EXPECT_NE(texture, 0u);
        const std::vector<uint8_t> texels = texprobe::readLevelRgba(texture, 0);
        glDeleteTextures(1, &texture);
        std::vector<int> levels;
        for (size_t i = 0; i + 3 < texels.size(); i += 4) {
            EXPECT_EQ(texels[i], texels[i + 1]);
            EXPECT_EQ(texels[i], texels[i + 2]);
            EXPECT_EQ(texels[i + 3], rampAlpha);
            levels.push_back(texels[i]);
        }
        return levels;
    }

    std::string write(const std::string& name, const TestPicture& picture) {
        return dir.write(name, pngtest::encodePng(picture.layout));
    }

    static void expectWithinOne(const std::vector<int>& actual, const std::vector<int>& expected) {
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < actual.size(); ++i)
            EXPECT_NEAR(actual[i], expected[i], 1) << "ramp texel " << i;
    }

    TempDir dir;
};

TEST_F(GlpngGamma, FileWithoutGammaLoadsAsStoredWhateverTheDisplay) {
    const std::string path = write("plain.png", rampPicture(std::nullopt));
    for (const char* display : {static_cast<const char*>(nullptr), "1.0", "2.2", "5"}) {
        SCOPED_TRACE(display != nullptr ? display : "unset");
        ScopedViewingGamma gamma(display);
        EXPECT_EQ(loadedRamp(path), storedRamp());
    }
}

TEST_F(GlpngGamma, FileGammaMatchingTheDisplayLoadsAsStored) {
    const std::string path = write("g045.png", rampPicture(1 / 2.2));
    for (const char* display : {static_cast<const char*>(nullptr), "2.2"}) {
        SCOPED_TRACE(display != nullptr ? display : "unset");
        ScopedViewingGamma gamma(display);
        EXPECT_EQ(loadedRamp(path), storedRamp());
    }
}

TEST_F(GlpngGamma, LinearDisplayDarkensAGamma22File) {
    const std::string path = write("g045.png", rampPicture(1 / 2.2));
    for (const char* display : {"1.0", "1"}) {
        SCOPED_TRACE(display);
        ScopedViewingGamma gamma(display);
        const std::vector<int> levels = loadedRamp(path);
        expectWithinOne(levels, correctedRamp(1 / 2.2, 1.0));
        EXPECT_LT(levels[3], 128);
    }
}

TEST_F(GlpngGamma, LinearFileBrightensOnTheDefaultDisplay) {
    const std::string path = write("g1.png", rampPicture(1.0));
    ScopedViewingGamma gamma(nullptr);
    const std::vector<int> levels = loadedRamp(path);
    expectWithinOne(levels, correctedRamp(1.0, 2.2));
    EXPECT_GT(levels[3], 128);
}

// A gAMA of 200 must not be mistaken for libpng's fixed-point 200 (0.002).
TEST_F(GlpngGamma, LargeFileGammaIsTakenAtItsValue) {
    const std::string path = write("g200.png", rampPicture(200.0));
    ScopedViewingGamma gamma(nullptr);
    expectWithinOne(loadedRamp(path), correctedRamp(200.0, 2.2));
}

TEST_F(GlpngGamma, SrgbChunkCountsAsGamma22) {
    std::vector<uint8_t> png = pngtest::encodePng(rampPicture(std::nullopt).layout);
    ASSERT_EQ(pngtest::findChunk(png, "gAMA"), std::string::npos);
    const std::vector<uint8_t> srgb = pngtest::makeChunk("sRGB", {0});
    const size_t idat = pngtest::findChunk(png, "IDAT");
    png.insert(png.begin() + std::ptrdiff_t(idat), srgb.begin(), srgb.end());
    const std::string path = dir.write("srgb.png", png);
    {
        ScopedViewingGamma gamma("2.2");
        EXPECT_EQ(loadedRamp(path), storedRamp());
    }
    ScopedViewingGamma gamma("1.0");
    expectWithinOne(loadedRamp(path), correctedRamp(1 / 2.2, 1.0));
}

TEST_F(GlpngGamma, UnusableViewingGammaFallsBackTo22) {
    const std::string matching = write("g045.png", rampPicture(1 / 2.2));
    const std::string linear = write("g1.png", rampPicture(1.0));
    for (const char* display :
         {"abc", "0", "-1", "", "1.0x", " 1.0", "1.0 ", "inf", "nan", "1e9", "0.001", "100.5"}) {
        SCOPED_TRACE(std::string("\"") + display + "\"");
        ScopedViewingGamma gamma(display);
        EXPECT_EQ(loadedRamp(matching), storedRamp());
        expectWithinOne(loadedRamp(linear), correctedRamp(1.0, 2.2));
    }
}

TEST_F(GlpngGamma, ViewingGammaParsingIsStrict) {
    EXPECT_DOUBLE_EQ(pngDisplayGammaFrom("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(pngDisplayGammaFrom("1"), 1.0);
    EXPECT_DOUBLE_EQ(pngDisplayGammaFrom("0.01"), 0.01);
    EXPECT_DOUBLE_EQ(pngDisplayGammaFrom("100"), 100.0);
    EXPECT_DOUBLE_EQ(pngDisplayGammaFrom("1.8e0"), 1.8);
    for (const char* unusable :
         {"abc", "0", "-1", "", "2.5x", " 2.5", "2.5 ", "inf", "nan", "0.009", "100.1"})
        EXPECT_DOUBLE_EQ(pngDisplayGammaFrom(unusable), PNG_DECODE_DEFAULT_GAMMA) << unusable;
    EXPECT_DOUBLE_EQ(pngDisplayGammaFrom(nullptr), PNG_DECODE_DEFAULT_GAMMA);
}

}  // namespace
