// pngBind on well-formed files: every colour type, bit depth and interlace
// method becomes exactly the expected texture, top row first, with the
// parameters passed and a box-filtered mipmap chain down to 1 x 1.
#include "PngTestFiles.h"
#include "TextureProbe.h"
#include "glpng.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <sstream>

using pngtest::TempDir;
using pngtest::TestPicture;

namespace {

TestPicture interlacedVersion(TestPicture picture) {
    picture.layout.interlaced = true;
    picture.name += ", Adam7 interlaced";
    return picture;
}

std::vector<TestPicture> everyKindOfPicture() {
    using pngtest::palettePicture;
    using pngtest::patternPicture;
    using pngtest::withKeyColour;
    return {
        patternPicture("RGBA 8-bit", 4, 3, PNG_COLOR_TYPE_RGB_ALPHA, 8),
        patternPicture("RGB 8-bit", 5, 4, PNG_COLOR_TYPE_RGB, 8),
        palettePicture("palette 8-bit with tRNS", 7, 5, 8, 40, 12),
        palettePicture("palette 4-bit without tRNS", 6, 4, 4, 10, 0),
        palettePicture("palette 2-bit, tRNS for every entry", 5, 3, 2, 4, 4),
        palettePicture("palette 1-bit without tRNS", 10, 2, 1, 2, 0),
        patternPicture("grey 8-bit", 6, 5, PNG_COLOR_TYPE_GRAY, 8),
        patternPicture("grey 1-bit", 9, 3, PNG_COLOR_TYPE_GRAY, 1),
        patternPicture("grey 2-bit", 7, 3, PNG_COLOR_TYPE_GRAY, 2),
        patternPicture("grey 4-bit", 5, 3, PNG_COLOR_TYPE_GRAY, 4),
        patternPicture("grey 16-bit", 4, 4, PNG_COLOR_TYPE_GRAY, 16),
        patternPicture("grey+alpha 8-bit", 4, 4, PNG_COLOR_TYPE_GRAY_ALPHA, 8),
        patternPicture("grey+alpha 16-bit", 3, 3, PNG_COLOR_TYPE_GRAY_ALPHA, 16),
        patternPicture("RGB 16-bit", 4, 2, PNG_COLOR_TYPE_RGB, 16),
        patternPicture("RGBA 16-bit", 3, 4, PNG_COLOR_TYPE_RGB_ALPHA, 16),
        withKeyColour(patternPicture("grey 8-bit", 5, 5, PNG_COLOR_TYPE_GRAY, 8)),
        withKeyColour(patternPicture("grey 4-bit", 6, 6, PNG_COLOR_TYPE_GRAY, 4)),
        withKeyColour(patternPicture("RGB 8-bit", 5, 5, PNG_COLOR_TYPE_RGB, 8)),
        withKeyColour(patternPicture("RGB 16-bit", 4, 4, PNG_COLOR_TYPE_RGB, 16)),
        patternPicture("RGBA 8-bit", 9, 9, PNG_COLOR_TYPE_RGB_ALPHA, 8, true),
        patternPicture("grey 1-bit", 11, 7, PNG_COLOR_TYPE_GRAY, 1, true),
        patternPicture("RGB 16-bit", 10, 6, PNG_COLOR_TYPE_RGB, 16, true),
        interlacedVersion(palettePicture("palette 4-bit with tRNS", 13, 9, 4, 16, 5)),
        patternPicture("RGB 3x5", 3, 5, PNG_COLOR_TYPE_RGB, 8),
        patternPicture("RGBA 300x200", 300, 200, PNG_COLOR_TYPE_RGB_ALPHA, 8),
        patternPicture("RGB 1x1", 1, 1, PNG_COLOR_TYPE_RGB, 8),
        patternPicture("RGBA 1x7", 1, 7, PNG_COLOR_TYPE_RGB_ALPHA, 8),
    };
}

// "" when equal, else where the first texel differs.
std::string firstDifference(const std::vector<uint8_t>& actual,
                            const std::vector<uint8_t>& expected, unsigned width) {
    if (actual.size() != expected.size())
        return "size " + std::to_string(actual.size()) + " vs " + std::to_string(expected.size());
    const auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin());
    if (mismatch.first == actual.end()) return "";
    const size_t pixel = size_t(mismatch.first - actual.begin()) / 4;
    std::ostringstream text;
    text << "texel (" << pixel % width << ", " << pixel / width << ") is";
    for (int c = 0; c < 4; ++c) text << ' ' << int(actual[pixel * 4 + c]);
    text << ", expected";
    for (int c = 0; c < 4; ++c) text << ' ' << int(expected[pixel * 4 + c]);
    return text.str();
}

std::vector<uint8_t> solidRgba(unsigned count, std::initializer_list<uint8_t> colour) {
    std::vector<uint8_t> rgba;
    for (unsigned i = 0; i < count; ++i) rgba.insert(rgba.end(), colour);
    return rgba;
}

class GlpngLoad : public ::testing::Test {
protected:
    std::string writePicture(const TestPicture& picture) {
        return dir.write("picture" + std::to_string(++fileCount) + ".png",
                         pngtest::encodePng(picture.layout));
    }

    TempDir dir;
    int fileCount = 0;
};

TEST_F(GlpngLoad, EveryKindOfPictureBecomesTheExactTextureTopRowFirst) {
    for (const TestPicture& picture : everyKindOfPicture()) {
        SCOPED_TRACE(picture.name + " " + std::to_string(picture.layout.width) + "x" +
                     std::to_string(picture.layout.height));
        const std::string path = writePicture(picture);
        pngInfo info{};
        texprobe::StderrCapture capture;
        const GLuint texture = texprobe::loadAsProgramDoes(path, &info);
        EXPECT_EQ(capture.finish(), "");
        ASSERT_NE(texture, 0u);

        const texprobe::LevelInfo level0 = texprobe::levelInfo(texture, 0);
        EXPECT_EQ(level0.width, int(picture.layout.width));
        EXPECT_EQ(level0.height, int(picture.layout.height));
        EXPECT_EQ(level0.internalFormat, picture.hasAlpha ? GL_RGBA8 : GL_RGB8);
        EXPECT_EQ(level0.alphaBits > 0, picture.hasAlpha);
        EXPECT_EQ(firstDifference(texprobe::readLevelRgba(texture, 0), picture.rgba,
                                  picture.layout.width),
                  "");

        EXPECT_EQ(info.Width, picture.layout.width);
        EXPECT_EQ(info.Height, picture.layout.height);
        EXPECT_EQ(info.Depth, unsigned(picture.layout.bitDepth));
        EXPECT_EQ(info.Alpha, picture.hasAlpha ? 8u : 0u);
        glDeleteTextures(1, &texture);
    }
}

TEST_F(GlpngLoad, TopRowOfTheFileIsTheFirstTextureRow) {
    const TestPicture picture =
        pngtest::rgbaPicture("red over blue", 1, 2, false, {255, 0, 0, 255, 0, 0, 255, 255});
    const GLuint texture = texprobe::loadAsProgramDoes(writePicture(picture));
    ASSERT_NE(texture, 0u);
    const std::vector<uint8_t> texels = texprobe::readLevelRgba(texture, 0);
    EXPECT_EQ(std::vector<uint8_t>(texels.begin(), texels.begin() + 4),
              (std::vector<uint8_t>{255, 0, 0, 255}));
    glDeleteTextures(1, &texture);
}

TEST_F(GlpngLoad, LeavesTheNewTextureBoundWithTheParametersPassed) {
    const std::string path =
        writePicture(pngtest::patternPicture("RGB", 4, 4, PNG_COLOR_TYPE_RGB, 8));
    struct Parameters {
        GLint wrap, minFilter, magFilter;
    };
    for (const Parameters& passed :
         {Parameters{GL_CLAMP, GL_LINEAR, GL_LINEAR},
          Parameters{GL_REPEAT, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
          Parameters{GL_CLAMP_TO_EDGE, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR}}) {
        SCOPED_TRACE(passed.wrap);
        const GLuint texture = pngBind(path.c_str(), PNG_BUILDMIPMAPS, PNG_ALPHA, nullptr,
                                       passed.wrap, passed.minFilter, passed.magFilter);
        ASSERT_NE(texture, 0u);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), texture);
        EXPECT_EQ(texprobe::textureParameter(texture, GL_TEXTURE_WRAP_S), passed.wrap);
        EXPECT_EQ(texprobe::textureParameter(texture, GL_TEXTURE_WRAP_T), passed.wrap);
        EXPECT_EQ(texprobe::textureParameter(texture, GL_TEXTURE_MIN_FILTER), passed.minFilter);
        EXPECT_EQ(texprobe::textureParameter(texture, GL_TEXTURE_MAG_FILTER), passed.magFilter);
        glDeleteTextures(1, &texture);
    }
}

TEST_F(GlpngLoad, MipmapChainHalvesEachSideDownToOneByOne) {
    struct Size {
        unsigned width, height;
        int lastLevel;
    };
    for (const Size size :
         {Size{300, 200, 8}, Size{3, 5, 2}, Size{256, 1, 8}, Size{1, 1, 0}, Size{7, 64, 6}}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        const GLuint texture = texprobe::loadAsProgramDoes(writePicture(
            pngtest::patternPicture("RGBA", size.width, size.height, PNG_COLOR_TYPE_RGB_ALPHA, 8)));
        ASSERT_NE(texture, 0u);
        for (int level = 0; level <= size.lastLevel; ++level) {
            SCOPED_TRACE(level);
            const texprobe::LevelInfo info = texprobe::levelInfo(texture, level);
            EXPECT_EQ(info.width, int(std::max(size.width >> level, 1u)));
            EXPECT_EQ(info.height, int(std::max(size.height >> level, 1u)));
            EXPECT_EQ(info.internalFormat, GL_RGBA8);
        }
        EXPECT_EQ(texprobe::levelInfo(texture, size.lastLevel + 1).width, 0);
        glDeleteTextures(1, &texture);
    }
}

TEST_F(GlpngLoad, SmallerLevelsHoldTheAveragedColour) {
    // Four 2 x 2 quadrants: level 1 holds one quadrant per texel, level 2
    // their mean.
    const uint8_t quadrant[4][4] = {
        {200, 0, 40, 255}, {0, 100, 40, 255}, {0, 0, 40, 127}, {0, 0, 40, 127}};
    std::vector<uint8_t> rgba;
    for (unsigned y = 0; y < 4; ++y)
        for (unsigned x = 0; x < 4; ++x) {
            const uint8_t* colour = quadrant[(y / 2) * 2 + x / 2];
            rgba.insert(rgba.end(), colour, colour + 4);
        }
    const GLuint quadrants = texprobe::loadAsProgramDoes(
        writePicture(pngtest::rgbaPicture("quadrants", 4, 4, true, rgba)));
    ASSERT_NE(quadrants, 0u);
    std::vector<uint8_t> level1;
    for (const auto& colour : quadrant) level1.insert(level1.end(), colour, colour + 4);
    EXPECT_EQ(texprobe::readLevelRgba(quadrants, 1), level1);
    EXPECT_EQ(texprobe::readLevelRgba(quadrants, 2), (std::vector<uint8_t>{50, 25, 40, 191}));
    glDeleteTextures(1, &quadrants);

    // An odd side is averaged over all its pixels, not cut short.
    const GLuint odd = texprobe::loadAsProgramDoes(writePicture(pngtest::rgbaPicture(
        "grey ramp", 3, 1, false, {30, 30, 30, 255, 60, 60, 60, 255, 90, 90, 90, 255})));
    ASSERT_NE(odd, 0u);
    EXPECT_EQ(texprobe::readLevelRgba(odd, 1), (std::vector<uint8_t>{60, 60, 60, 255}));
    glDeleteTextures(1, &odd);

    // A uniform picture stays uniform at every level, whatever its size.
    const GLuint uniform = texprobe::loadAsProgramDoes(writePicture(
        pngtest::rgbaPicture("uniform", 37, 23, true, solidRgba(37 * 23, {9, 80, 201, 77}))));
    ASSERT_NE(uniform, 0u);
    for (int level = 1; level <= 5; ++level) {
        const texprobe::LevelInfo info = texprobe::levelInfo(uniform, level);
        EXPECT_EQ(texprobe::readLevelRgba(uniform, level),
                  solidRgba(unsigned(info.width * info.height), {9, 80, 201, 77}))
            << "level " << level;
    }
    glDeleteTextures(1, &uniform);
}

TEST_F(GlpngLoad, NoMipmapsModeUploadsLevelZeroOnly) {
    const TestPicture picture = pngtest::patternPicture("RGB", 6, 4, PNG_COLOR_TYPE_RGB, 8);
    const std::string path = writePicture(picture);
    const GLuint texture =
        pngBind(path.c_str(), PNG_NOMIPMAPS, PNG_ALPHA, nullptr, GL_CLAMP, GL_LINEAR, GL_LINEAR);
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(firstDifference(texprobe::readLevelRgba(texture, 0), picture.rgba, 6), "");
    EXPECT_EQ(texprobe::levelInfo(texture, 1).width, 0);
    glDeleteTextures(1, &texture);
}

TEST_F(GlpngLoad, WarningsAloneNeitherFailNorPrint) {
    const TestPicture picture = pngtest::patternPicture("RGBA", 5, 3, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    std::vector<uint8_t> png = pngtest::encodePng(picture.layout);
    // A text chunk with a wrong CRC and an unknown ancillary chunk before
    // the image data, and bytes after the end: each at most a warning.
    std::vector<uint8_t> text = pngtest::makeChunk("tEXt", {'T', 'i', 't', 'l', 'e', 0, 'x'});
    text.back() ^= 0x5a;
    const std::vector<uint8_t> unknown = pngtest::makeChunk("tsTy", {1, 2, 3});
    const size_t idat = pngtest::findChunk(png, "IDAT");
    ASSERT_NE(idat, std::string::npos);
    png.insert(png.begin() + std::ptrdiff_t(idat), unknown.begin(), unknown.end());
    png.insert(png.begin() + std::ptrdiff_t(idat), text.begin(), text.end());
    png.insert(png.end(), {'t', 'r', 'a', 'i', 'l'});

    texprobe::StderrCapture capture;
    const GLuint texture = texprobe::loadAsProgramDoes(dir.write("warned.png", png));
    EXPECT_EQ(capture.finish(), "");
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(firstDifference(texprobe::readLevelRgba(texture, 0), picture.rgba, 5), "");
    glDeleteTextures(1, &texture);
}

}  // namespace
