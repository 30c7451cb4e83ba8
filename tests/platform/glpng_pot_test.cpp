// pngBind on a GL without non-power-of-two textures: pictures are resampled
// to power-of-two sides and still span the whole texture. Mesa is told to
// report version 1.4 without GL_ARB_texture_non_power_of_two; this must
// happen before the test main creates the GL context, hence a static
// initialiser.
#include "PngTestFiles.h"
#include "TextureProbe.h"
#include "glpng.h"
#include "pngScale.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>

using pngtest::TempDir;

namespace {

const bool glLimitedToPowerOfTwo =
    setenv("MESA_GL_VERSION_OVERRIDE", "1.4", 1) == 0 &&
    setenv("MESA_EXTENSION_OVERRIDE", "-GL_ARB_texture_non_power_of_two", 1) == 0;

std::vector<uint8_t> texelAt(const std::vector<uint8_t>& rgba, int width, int x, int y) {
    const auto at = rgba.begin() + (std::ptrdiff_t(y) * width + x) * 4;
    return {at, at + 4};
}

class GlpngPowerOfTwoOnly : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(glLimitedToPowerOfTwo);
        ASSERT_FALSE(glpng::nonPowerOfTwoSupported(
            reinterpret_cast<const char*>(glGetString(GL_VERSION)),
            reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS))))
            << "Mesa ignored the version and extension overrides";
    }

    TempDir dir;
};

TEST_F(GlpngPowerOfTwoOnly, NonPowerOfTwoPictureIsResampledOverTheWholeTexture) {
    const pngtest::TestPicture picture =
        pngtest::patternPicture("RGB 3x5", 3, 5, PNG_COLOR_TYPE_RGB, 8);
    const GLuint texture =
        texprobe::loadAsProgramDoes(dir.write("p.png", pngtest::encodePng(picture.layout)));
    ASSERT_NE(texture, 0u);
    const texprobe::LevelInfo level0 = texprobe::levelInfo(texture, 0);
    EXPECT_EQ(level0.width, 4);
    EXPECT_EQ(level0.height, 8);
    EXPECT_EQ(level0.internalFormat, GL_RGB8);
    // Enlarging keeps each corner texel wholly inside the corner pixel.
    const std::vector<uint8_t> texels = texprobe::readLevelRgba(texture, 0);
    EXPECT_EQ(texelAt(texels, 4, 0, 0), texelAt(picture.rgba, 3, 0, 0));
    EXPECT_EQ(texelAt(texels, 4, 3, 0), texelAt(picture.rgba, 3, 2, 0));
    EXPECT_EQ(texelAt(texels, 4, 0, 7), texelAt(picture.rgba, 3, 0, 4));
    EXPECT_EQ(texelAt(texels, 4, 3, 7), texelAt(picture.rgba, 3, 2, 4));
    for (int level = 1; level <= 3; ++level) {
        const texprobe::LevelInfo info = texprobe::levelInfo(texture, level);
        EXPECT_EQ(info.width, std::max(4 >> level, 1));
        EXPECT_EQ(info.height, 8 >> level);
    }
    EXPECT_EQ(texprobe::levelInfo(texture, 4).width, 0);
    glDeleteTextures(1, &texture);
}

TEST_F(GlpngPowerOfTwoOnly, LargePictureKeepsItsColourAtPowerOfTwoSize) {
    std::vector<uint8_t> rgba;
    for (int i = 0; i < 300 * 200; ++i) rgba.insert(rgba.end(), {12, 140, 250, 33});
    const GLuint texture = texprobe::loadAsProgramDoes(dir.write(
        "u.png", pngtest::encodePng(pngtest::rgbaPicture("uniform", 300, 200, true, rgba).layout)));
    ASSERT_NE(texture, 0u);
    const texprobe::LevelInfo level0 = texprobe::levelInfo(texture, 0);
    EXPECT_EQ(level0.width, 512);
    EXPECT_EQ(level0.height, 256);
    const std::vector<uint8_t> texels = texprobe::readLevelRgba(texture, 0);
    for (size_t i = 0; i < texels.size(); i += 4)
        ASSERT_EQ(texelAt(texels, 1, int(i / 4), 0), (std::vector<uint8_t>{12, 140, 250, 33}))
            << "texel " << i / 4;
    EXPECT_EQ(texprobe::levelInfo(texture, 9).width, 1);
    EXPECT_EQ(texprobe::levelInfo(texture, 9).height, 1);
    glDeleteTextures(1, &texture);
}

TEST_F(GlpngPowerOfTwoOnly, PowerOfTwoPictureIsUploadedUnchanged) {
    const pngtest::TestPicture picture =
        pngtest::patternPicture("RGBA 8x4", 8, 4, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    const GLuint texture =
        texprobe::loadAsProgramDoes(dir.write("e.png", pngtest::encodePng(picture.layout)));
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(texprobe::readLevelRgba(texture, 0), picture.rgba);
    glDeleteTextures(1, &texture);
}

}  // namespace
