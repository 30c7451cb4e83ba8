// Box-filter resampling and texture sizing used before upload.
#include "pngScale.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;

TEST(PngScale, HalvingAveragesBlocksRoundingToNearest) {
    // One channel, 4 x 2: blocks {0,0,0,1}, {0,1,1,1}, and 2 x 1 pairs.
    const Bytes pixels = {0, 0, 0, 1, 0, 1, 1, 1};
    EXPECT_EQ(glpng::resampleBox(pixels.data(), 4, 2, 1, 2, 1), (Bytes{0, 1}));
    const Bytes half = {0, 0, 1, 1};  // mean 0.5 rounds up
    EXPECT_EQ(glpng::resampleBox(half.data(), 2, 2, 1, 1, 1), (Bytes{1}));
    const Bytes rgb = {10, 20, 30, 30, 40, 50};
    EXPECT_EQ(glpng::resampleBox(rgb.data(), 2, 1, 3, 1, 1), (Bytes{20, 30, 40}));
}

TEST(PngScale, OddSidesAreWeightedByCoverage) {
    const Bytes three = {30, 60, 90};
    EXPECT_EQ(glpng::resampleBox(three.data(), 3, 1, 1, 1, 1), (Bytes{60}));
    // 5 -> 2: each target covers two whole pixels and half the middle one.
    const Bytes five = {0, 0, 100, 200, 200};
    EXPECT_EQ(glpng::resampleBox(five.data(), 5, 1, 1, 2, 1), (Bytes{20, 180}));
}

TEST(PngScale, EnlargingRepeatsAndBlendsOnlyAtBoundaries) {
    const Bytes two = {0, 200};
    EXPECT_EQ(glpng::resampleBox(two.data(), 2, 1, 1, 4, 1), (Bytes{0, 0, 200, 200}));
    const Bytes three = {0, 90, 180};
    // 3 -> 4: the middle targets straddle two sources each.
    EXPECT_EQ(glpng::resampleBox(three.data(), 3, 1, 1, 4, 1), (Bytes{0, 60, 120, 180}));
}

TEST(PngScale, UniformPictureStaysUniformAtAnySize) {
    const Bytes uniform(7 * 3 * 4, 77);
    for (const auto& size : {std::pair{4u, 8u}, std::pair{1u, 1u}, std::pair{16u, 2u}}) {
        EXPECT_EQ(glpng::resampleBox(uniform.data(), 7, 3, 4, size.first, size.second),
                  Bytes(size.first * size.second * 4, 77));
    }
}

TEST(PngScale, TextureSideFollowsWhatTheGlAllows) {
    EXPECT_EQ(glpng::textureSide(300, true, 16384), 300u);
    EXPECT_EQ(glpng::textureSide(20000, true, 16384), 16384u);
    EXPECT_EQ(glpng::textureSide(300, false, 16384), 512u);
    EXPECT_EQ(glpng::textureSide(512, false, 16384), 512u);
    EXPECT_EQ(glpng::textureSide(513, false, 16384), 1024u);
    EXPECT_EQ(glpng::textureSide(1, false, 16384), 1u);
    EXPECT_EQ(glpng::textureSide(20000, false, 16384), 16384u);
    EXPECT_EQ(glpng::textureSide(600, false, 1000), 512u);
}

TEST(PngScale, NonPowerOfTwoNeedsVersion2OrTheWholeExtensionName) {
    EXPECT_TRUE(glpng::nonPowerOfTwoSupported("2.0", nullptr));
    EXPECT_TRUE(glpng::nonPowerOfTwoSupported("4.5 (Compatibility Profile) Mesa 22.3.6", ""));
    EXPECT_FALSE(glpng::nonPowerOfTwoSupported("1.4 Mesa", "GL_ARB_multitexture"));
    EXPECT_TRUE(glpng::nonPowerOfTwoSupported("1.4", "GL_ARB_texture_non_power_of_two"));
    EXPECT_TRUE(glpng::nonPowerOfTwoSupported("1.4", "GL_A GL_ARB_texture_non_power_of_two GL_B"));
    EXPECT_FALSE(glpng::nonPowerOfTwoSupported("1.4", "GL_ARB_texture_non_power_of_two_x GL_B"));
    EXPECT_FALSE(glpng::nonPowerOfTwoSupported("1.4", "XGL_ARB_texture_non_power_of_two"));
    EXPECT_FALSE(glpng::nonPowerOfTwoSupported(nullptr, nullptr));
}

}  // namespace
