// pngBind in a real GL context: PNG files of many colour types, bit depths
// and interlacings load into textures holding what ImageMagick decodes from
// them, with every mipmap level; broken and hostile files are refused in one
// line.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cerrno>
#include <cmath>

#include "TempDir.h"
#include "TestSupport.h"
#include "glpng.h"
#include "pngScale.h"

using namespace std::string_literals;

namespace {

std::string bigEndian(uint32_t value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

// Loads the file as the program does; the texture stays bound.
GLuint load(const std::string& path, pngInfo* info = nullptr) {
    return pngBind(path.c_str(), PNG_BUILDMIPMAPS, PNG_ALPHA, info, GL_CLAMP, GL_LINEAR, GL_LINEAR);
}

// Mipmap level `number` of the bound texture, RGBA; its size in `size`.
std::vector<uint8_t> level(int number, GLint size[2]) {
    glGetTexLevelParameteriv(GL_TEXTURE_2D, number, GL_TEXTURE_WIDTH, &size[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, number, GL_TEXTURE_HEIGHT, &size[1]);
    std::vector<uint8_t> rgba(size_t(size[0]) * size[1] * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, number, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

}  // namespace

// Each file loads as ImageMagick decodes it, to within the one level by
// which the two round 16-bit samples to 8; where the GL takes powers of two
// only, it is resampled to them. Each level halves the one before, down to
// 1 x 1, which keeps the average colour.
TEST(Glpng, LoadsEveryKindOfPictureWithItsWholeMipmapChain) {
    // The program's pictures rewritten by ImageMagick, the options choosing the
    // colour type, bit depth and interlacing.
    const std::vector<std::string> files[] = {
        {"redtoken.png", "-interlace", "PNG", "PNG24:-"},  // RGB, a key colour for alpha
        {"redtoken.png", "PNG64:-"},
        {"redtoken.png", "-colorspace", "Gray", "-depth", "16", "-interlace", "PNG", "PNG:-"},
        {"redtoken.png", "-colors", "4", "-define", "png:bit-depth=2", "PNG8:-"},
        {"gray.png", "-resize", "13x17!", "-colorspace", "Gray", "-depth", "2", "PNG:-"},
    };
    // A GL of any texture size, unless glpng_power_of_two_only has Mesa hide it.
    const bool anySize = std::getenv("MESA_EXTENSION_OVERRIDE") == nullptr;
    TempDir dir;
    for (std::vector<std::string> options : files) {
        SCOPED_TRACE(options.front() + " as " + options.back());
        options.front().insert(0, TUMBLEWELL_SOURCE_DIR "/images/");
        options.insert(options.begin(), "/usr/bin/convert");
        const std::string file = outputOf(options);
        const std::string path = dir.write("picture.png", file);
        const std::string decoded = outputOf({"/usr/bin/convert", path, "-depth", "8", "rgba:-"});
        const unsigned width = uint8_t(file[18]) * 256 + uint8_t(file[19]);
        const unsigned height = uint8_t(file[22]) * 256 + uint8_t(file[23]);
        const bool alpha = file[25] & 4 || file.find("tRNS") != std::string::npos;
        pngInfo info{};
        ASSERT_NE(load(path, &info), 0u);
        EXPECT_EQ(std::vector<unsigned>({info.Width, info.Height, info.Depth, info.Alpha}),
                  std::vector<unsigned>({width, height, unsigned(file[24]), alpha ? 8u : 0u}));
        GLint alphaBits = 0, size[2];
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        EXPECT_EQ(alphaBits > 0, alpha);
        const std::vector<uint8_t> texture = level(0, size);
        const auto powerOfTwo = [](unsigned side) { return 1 << int(std::ceil(std::log2(side))); };
        EXPECT_EQ(size[0], int(anySize ? width : powerOfTwo(width)));
        EXPECT_EQ(size[1], int(anySize ? height : powerOfTwo(height)));
        for (size_t i = 0; anySize && i < decoded.size(); ++i)
            ASSERT_NEAR(texture[i], uint8_t(decoded[i]), 1) << "texel " << i / 4;
        double mean[4] = {};
        for (size_t i = 0; i < texture.size(); ++i)
            mean[i % 4] += texture[i] * 4.0 / texture.size();
        for (int number = 1; size[0] * size[1] > 1; ++number) {
            const GLint half[] = {std::max(size[0] / 2, 1), std::max(size[1] / 2, 1)};
            const std::vector<uint8_t> next = level(number, size);
            ASSERT_EQ(size[0], half[0]);
            ASSERT_EQ(size[1], half[1]);
            for (size_t c = 0; c < 4 && next.size() == 4; ++c) EXPECT_NEAR(next[c], mean[c], 12);
        }
    }
}

// Refused: 0, no texture left behind, and one line on stderr naming the
// file and the reason.
TEST(Glpng, RefusesBrokenAndHostileFilesInOneLine) {
    TempDir dir;
    const std::string good = contentsOf(TUMBLEWELL_SOURCE_DIR "/images/redtoken.png");
    // A header chunk, 13 bytes of data, that claims 100000 x 100000 pixels
    // and has its checksum right.
    const std::string header = "IHDR" + bigEndian(100000) + bigEndian(100000) + "\x08\x06\0\0\0"s;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(header.data()), uInt(header.size()));
    const std::string hugeHeader = bigEndian(13) + header + bigEndian(uint32_t(crc));
    // Found by fuzzing: a chunk whose length claims hundreds of megabytes.
    const std::string hugeChunk =
        "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x06\0\0\0\x14\x01\x03\0\0\0\x94\x1c\xde\x9b\0\0\0\x06ssssssssss\x19\x62\xc3\x80sssssPLTE\x0b\xab\x4b\x30\xd0\x70\x71\x14\x69\x04\0\0\0\x0eIDAT"s;
    mkdir(dir.file("folder.png").c_str(), 0755);
    mkfifo(dir.file("fifo.png").c_str(), 0644);  // no one writes to it
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("missing.png"), "No such file"},
        {dir.file("folder.png"), "directory"},
        {dir.file("fifo.png"), "not a regular file"},
        {dir.write("empty.png", ""), "empty"},
        {dir.write("text.png", "hello\n"), "not a PNG"},
        {dir.write("cut.png", good.substr(0, good.size() / 2)), "truncated"},
        {dir.write("huge.png", good.substr(0, 8) + hugeHeader + good.substr(33)), "user limit"},
        {dir.write("hugechunk.png", hugeChunk), ""},
    };
    for (const auto& [path, reason] : cases) {
        GLuint next = 0;
        glGenTextures(1, &next);
        glDeleteTextures(1, &next);
        const std::string printed = stderrOf([&] { EXPECT_EQ(load(path), 0u) << path; });
        EXPECT_FALSE(glIsTexture(next)) << path;
        const std::string named = program_invocation_short_name + (": " + path + ": ");
        EXPECT_EQ(printed.rfind(named, 0), 0u) << printed;
        EXPECT_EQ(lines(printed), 1) << printed;
        EXPECT_NE(printed.find(reason, named.size()), std::string::npos) << printed;
    }
}

// A picture that records its gamma, as ImageMagick writes them, is corrected
// for the display gamma that VIEWING_GAMMA names, a plain number from 0.01 to
// 100; anything else counts as 2.2, for which such a picture is drawn as
// stored. A picture that records none is never corrected.
TEST(Glpng, CorrectsPicturesThatRecordTheirGammaForTheViewingGamma) {
    TempDir dir;
    const std::pair<const char*, int> gammas[] = {{"1", 56},      {"0.01", 0},    {"100", 251},
                                                  {"0.009", 128}, {"100.5", 128}, {"1x", 128}};
    GLint size[2];
    for (const auto& [gamma, red] : gammas)
        for (bool recorded : {true, false}) {
            setenv("VIEWING_GAMMA", gamma, 1);
            load(dir.write("p.png", outputOf({"/usr/bin/convert", "xc:rgb(128,64,200)",
                                              recorded ? "-quiet" : "-strip", "PNG24:-"})));
            EXPECT_NEAR(level(0, size)[0], recorded ? red : 128, 1) << gamma << recorded;
        }
}

// Area-weighted box resampling, exactly, and where a GL takes textures of
// any size.
TEST(Glpng, ResamplesByAreaAndSizesTexturesAsTheGlAllows) {
    const struct {
        std::vector<unsigned char> from;
        unsigned width, height, channels, newWidth, newHeight;
        std::vector<unsigned char> to;
    } cases[] = {
        {{0, 1, 30}, 3, 1, 1, 2, 1, {0, 20}},  // 1/3 rounds down, 20 1/3 too
        {{10, 20, 30, 40}, 2, 2, 1, 1, 1, {25}},
        {{9, 8, 7, 1, 2, 3, 200, 100, 0, 5, 5, 5}, 2, 2, 3, 1, 1, {54, 29, 4}},
        {{9, 8, 7, 6, 1, 2, 3, 4, 200, 100, 0, 10, 5, 5, 5, 255}, 2, 2, 4, 1, 1, {54, 29, 4, 69}},
        {{7, 9}, 2, 1, 1, 4, 2, {7, 7, 9, 9, 7, 7, 9, 9}},  // enlarging repeats
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.to, glpng::resampleBox(c.from.data(), c.width, c.height, c.channels, c.newWidth,
                                           c.newHeight))
            << c.width << " x " << c.height << " x " << c.channels;
    // Halving takes a shortcut in three and four channels; fractions of
    // columns over two rows do not.
    const std::vector<unsigned char> rgb = {0,  1,  2,  90,  91,  92,  180, 181, 182,
                                            60, 61, 62, 150, 151, 152, 240, 241, 242};
    EXPECT_EQ(glpng::resampleBox(rgb.data(), 3, 2, 3, 2, 1),
              std::vector<unsigned char>({60, 61, 62, 180, 181, 182}));
    const char* extensions[] = {
        "GL_ARB_texture_non_power_of_two", "GL_A GL_ARB_texture_non_power_of_two GL_B",
        "GL_ARB_texture_non_power_of_two_x", "XGL_ARB_texture_non_power_of_two", nullptr};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(glpng::nonPowerOfTwoSupported("1.4", extensions[i]), i < 2) << i;
    EXPECT_TRUE(glpng::nonPowerOfTwoSupported("2.1 Mesa", nullptr));
}
