// pngBind in a real GL context: PNG files of many colour types, bit depths
// and interlacings load into textures holding what ImageMagick decodes from
// them, with every mipmap level; broken and hostile files are refused in one
// line.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>

#include "TempDir.h"
#include "TestSupport.h"
#include "glpng.h"

using namespace std::string_literals;

namespace {

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

// Each file loads as ImageMagick decodes it; where the GL takes powers of two
// only, it is resampled to them. Each mipmap level halves the one before,
// down to 1 x 1. Resampling averages areas, as ImageMagick's -scale does, to
// within two levels: the two round 16-bit samples to 8 in their own ways,
// then each rounds the averages.
TEST(Glpng, LoadsEveryKindOfPictureWithItsWholeMipmapChain) {
    // The program's pictures rewritten by ImageMagick, the options choosing the
    // colour type, bit depth and interlacing.
    const std::vector<std::string> files[] = {
        {"redtoken.png", "-interlace", "PNG", "PNG24:-"},  // RGB, a key colour for alpha
        {"redtoken.png", "-resize", "17x13!", "PNG64:-"},  // sides halved unevenly
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
        std::vector<std::string> source = {dir.write("picture.png", file)};
        const unsigned width = uint8_t(file[18]) * 256 + uint8_t(file[19]);
        const unsigned height = uint8_t(file[22]) * 256 + uint8_t(file[23]);
        const bool alpha = file[25] & 4 || file.find("tRNS") != std::string::npos;
        pngInfo info{};
        ASSERT_NE(load(source[0], &info), 0u);
        EXPECT_EQ(std::vector<unsigned>({info.Width, info.Height, info.Depth, info.Alpha}),
                  std::vector<unsigned>({width, height, unsigned(file[24]), alpha ? 8u : 0u}));
        GLint size[2];
        const auto powerOfTwo = [](unsigned side) { return 1 << int(std::ceil(std::log2(side))); };
        GLint wanted[] = {int(anySize ? width : powerOfTwo(width)),
                          int(anySize ? height : powerOfTwo(height))};
        // Level 0 against the file, each level after it against the one before.
        for (int number = 0;; ++number) {
            const std::vector<uint8_t> texture = level(number, size);
            const std::string geometry =
                std::to_string(wanted[0]) + "x" + std::to_string(wanted[1]);
            source.insert(source.begin(), "/usr/bin/convert");
            source.insert(source.end(), {"-channel", "RGBA", "-separate", "-scale", geometry + "!",
                                         "-combine", "-depth", "8", "rgba:-"});
            const std::string scaled = outputOf(source);
            ASSERT_TRUE(size[0] == wanted[0] && size[1] == wanted[1] &&
                        scaled.size() == texture.size())
                << "level " << number;
            for (size_t i = 0; i < texture.size(); ++i)
                ASSERT_NEAR(texture[i], uint8_t(scaled[i]), 2) << number << ", texel " << i / 4;
            if (texture.size() == 4) break;
            source = {"-size", geometry, "-depth", "8",
                      "rgba:" + dir.write("level", std::string(texture.begin(), texture.end()))};
            wanted[0] = std::max(size[0] / 2, 1), wanted[1] = std::max(size[1] / 2, 1);
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
    const std::string hugeHeader =
        "\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\x06\0\0\0\xa8\x52\x0b\xc8"s;
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
