// pngBind on files it must refuse: each returns 0, leaves no texture name and
// no open file behind, and prints exactly one "glpng: <path>: <reason>" line.
// Memory leaks on these paths are caught by the sanitizer build.
#include "PngTestFiles.h"
#include "TextureProbe.h"
#include "glpng.h"
#include "pngDecode.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>

#include <algorithm>

using pngtest::TempDir;

namespace {

struct BadFile {
    std::string name;
    std::string path;
    std::string reasonFragment;  // part of the reason the layer gives
};

// Filter byte + pattern bytes for every row of an 8-bit RGBA picture.
std::vector<uint8_t> rawRows(unsigned width, unsigned height, uint8_t filter) {
    std::vector<uint8_t> raw;
    for (unsigned y = 0; y < height; ++y) {
        raw.push_back(filter);
        for (unsigned x = 0; x < width * 4; ++x) raw.push_back(pngtest::patternByte(x, y, 0));
    }
    return raw;
}

std::vector<uint8_t> rgbaFile(uint32_t width, uint32_t height, const std::vector<uint8_t>& idat) {
    return pngtest::pngFromChunks(
        {pngtest::makeChunk("IHDR", pngtest::ihdrData(width, height, 8, 6)),
         pngtest::makeChunk("IDAT", idat), pngtest::makeChunk("IEND", {})});
}

class GlpngBadFile : public ::testing::Test {
protected:
    std::vector<BadFile> badFiles() {
        const std::vector<uint8_t> good = pngtest::encodePng(
            pngtest::patternPicture("RGBA", 40, 30, PNG_COLOR_TYPE_RGB_ALPHA, 8).layout);
        const size_t idat = pngtest::findChunk(good, "IDAT");
        const uint32_t idatLength = pngtest::chunkLength(good, idat);

        std::vector<uint8_t> cutMidIdat(good.begin(),
                                        good.begin() + std::ptrdiff_t(idat + 8 + idatLength / 2));
        std::vector<uint8_t> badCrc = good;
        badCrc[idat + 8 + idatLength] ^= 0x10;
        std::vector<uint8_t> flippedData = good;
        flippedData[idat + 8 + idatLength / 2] ^= 0x10;
        std::vector<uint8_t> badZlibHeader = good;
        badZlibHeader[idat + 8] = 0x00;
        badZlibHeader[idat + 9] = 0x00;
        pngtest::fixChunkCrc(badZlibHeader, idat);
        std::vector<uint8_t> signatureOnly(good.begin(), good.begin() + 8);

        const std::vector<uint8_t> paletted =
            pngtest::encodePng(pngtest::palettePicture("palette", 8, 8, 8, 20, 0).layout);
        const size_t plte = pngtest::findChunk(paletted, "PLTE");
        std::vector<uint8_t> withoutPalette = paletted;
        withoutPalette.erase(withoutPalette.begin() + std::ptrdiff_t(plte),
                             withoutPalette.begin() +
                                 std::ptrdiff_t(plte + 12 + pngtest::chunkLength(paletted, plte)));

        std::vector<uint8_t> halfTheRows = rawRows(16, 16, 0);
        halfTheRows.resize(halfTheRows.size() / 2);
        mkdir((dir.path() + "/folder.png").c_str(), 0755);

        return {
            {"missing file", dir.path() + "/missing.png", "No such file"},
            {"a directory", dir.path() + "/folder.png", "directory"},
            {"zero bytes", dir.write("empty.png", {}), "empty"},
            {"text, not a PNG", dir.write("text.png", {'h', 'e', 'l', 'l', 'o', '\n'}),
             "not a PNG"},
            {"half a signature", dir.write("half.png", {0x89, 'P', 'N', 'G'}), "not a PNG"},
            {"signature only", dir.write("sig.png", signatureOnly), "truncated"},
            {"cut in the middle of IDAT", dir.write("cut.png", cutMidIdat), "truncated"},
            {"IDAT CRC wrong", dir.write("crc.png", badCrc), "CRC"},
            {"IDAT data flipped, CRC left as it was", dir.write("flip.png", flippedData), ""},
            {"zlib header wrong, CRC right", dir.write("zlib.png", badZlibHeader), ""},
            {"unknown row filter",
             dir.write("filter.png", rgbaFile(16, 16, pngtest::deflateBytes(rawRows(16, 16, 9)))),
             ""},
            {"image data ends after half the rows",
             dir.write("short.png", rgbaFile(16, 16, pngtest::deflateBytes(halfTheRows))), ""},
            {"no IDAT",
             dir.write("noidat.png", pngtest::pngFromChunks(
                                         {pngtest::makeChunk("IHDR", pngtest::ihdrData(4, 4, 8, 6)),
                                          pngtest::makeChunk("IEND", {})})),
             ""},
            {"palette picture without PLTE", dir.write("noplte.png", withoutPalette), ""},
            // Found by fuzzing: a chunk whose length field claims hundreds of
            // megabytes made libpng try to allocate them.
            {"a chunk claiming hundreds of megabytes",
             dir.write(
                 "hugechunk.png",
                 {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49,
                  0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x14, 0x01, 0x03,
                  0x00, 0x00, 0x00, 0x94, 0x1c, 0xde, 0x9b, 0x00, 0x00, 0x00, 0x06, 0x73, 0x73,
                  0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x73, 0x19, 0x62, 0xc3, 0x80, 0x73,
                  0x73, 0x73, 0x73, 0x73, 0x50, 0x4c, 0x54, 0x45, 0x0b, 0xab, 0x4b, 0x30, 0xd0,
                  0x70, 0x71, 0x14, 0x69, 0x04, 0x00, 0x00, 0x00, 0x0e, 0x49, 0x44, 0x41, 0x54}),
             ""},
            {"RGB at 4 bits, an invalid header",
             dir.write("depth.png",
                       pngtest::pngFromChunks(
                           {pngtest::makeChunk("IHDR", pngtest::ihdrData(4, 4, 4, 2)),
                            pngtest::makeChunk("IDAT", pngtest::deflateBytes(rawRows(4, 4, 0))),
                            pngtest::makeChunk("IEND", {})})),
             "IHDR"},
            {"header claims 100000 x 100000",
             dir.write("huge.png",
                       rgbaFile(100000, 100000, pngtest::deflateBytes(rawRows(16, 1, 0)))),
             "user limit"},
            {"header claims 16384 x 16384 RGBA, over the byte cap",
             dir.write("big.png", rgbaFile(16384, 16384, pngtest::deflateBytes(rawRows(16, 1, 0)))),
             "too large"},
        };
    }

    TempDir dir;
};

TEST_F(GlpngBadFile, EveryBadFileIsRefusedCleanlyWithOneLine) {
    for (const BadFile& bad : badFiles()) {
        SCOPED_TRACE(bad.name);
        GLuint probe = 0;
        glGenTextures(1, &probe);
        glDeleteTextures(1, &probe);
        const GLuint nameLimit = probe + 64;
        const std::vector<GLuint> namesBefore = texprobe::liveTextureNames(nameLimit);

        texprobe::StderrCapture capture;
        const int descriptorsBefore = texprobe::openDescriptorCount();
        const GLuint texture = texprobe::loadAsProgramDoes(bad.path);
        const int descriptorsAfter = texprobe::openDescriptorCount();
        const std::string printed = capture.finish();

        EXPECT_EQ(texture, 0u);
        EXPECT_EQ(texprobe::liveTextureNames(nameLimit), namesBefore);
        EXPECT_EQ(descriptorsAfter, descriptorsBefore);
        EXPECT_EQ(printed.rfind("glpng: " + bad.path + ": ", 0), 0u) << printed;
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
        EXPECT_NE(printed.find(bad.reasonFragment), std::string::npos) << printed;
    }
}

TEST_F(GlpngBadFile, GoodTexturesSurviveAFailedLoad) {
    const std::vector<uint8_t> good =
        pngtest::encodePng(pngtest::patternPicture("RGB", 4, 4, PNG_COLOR_TYPE_RGB, 8).layout);
    const GLuint first = texprobe::loadAsProgramDoes(dir.write("good.png", good));
    ASSERT_NE(first, 0u);
    texprobe::StderrCapture quiet;
    EXPECT_EQ(texprobe::loadAsProgramDoes(dir.path() + "/missing.png"), 0u);
    quiet.finish();
    EXPECT_TRUE(glIsTexture(first));
    const GLuint second = texprobe::loadAsProgramDoes(dir.write("good2.png", good));
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, first);
    glDeleteTextures(1, &first);
    glDeleteTextures(1, &second);
}

TEST_F(GlpngBadFile, UnsupportedModesAreRefusedBeforeMakingATexture) {
    const std::string path = dir.write(
        "good.png",
        pngtest::encodePng(pngtest::patternPicture("RGB", 4, 4, PNG_COLOR_TYPE_RGB, 8).layout));
    struct Modes {
        int mipmap, trans;
    };
    for (const Modes modes : {Modes{1, PNG_ALPHA}, Modes{-3, PNG_ALPHA},
                              Modes{PNG_BUILDMIPMAPS, -1}, Modes{PNG_BUILDMIPMAPS, 0}}) {
        SCOPED_TRACE(std::to_string(modes.mipmap) + " " + std::to_string(modes.trans));
        GLuint probe = 0;
        glGenTextures(1, &probe);
        glDeleteTextures(1, &probe);
        const std::vector<GLuint> namesBefore = texprobe::liveTextureNames(probe + 64);
        texprobe::StderrCapture capture;
        EXPECT_EQ(pngBind(path.c_str(), modes.mipmap, modes.trans, nullptr, GL_CLAMP, GL_LINEAR,
                          GL_LINEAR),
                  0u);
        const std::string printed = capture.finish();
        EXPECT_EQ(texprobe::liveTextureNames(probe + 64), namesBefore);
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    }
}

// The decode step's limits, straight through its own interface: the largest
// picture allowed loads, one pixel or one byte more is refused.
TEST_F(GlpngBadFile, DecodeLimitsAreExactBoundaries) {
    const std::vector<uint8_t> png = pngtest::encodePng(
        pngtest::patternPicture("RGBA", 8, 4, PNG_COLOR_TYPE_RGB_ALPHA, 8).layout);
    struct Limits {
        unsigned maxSide;
        size_t maxBytes;
        bool loads;
    };
    for (const Limits limits : {Limits{8, 8 * 4 * 4, true}, Limits{7, 8 * 4 * 4, false},
                                Limits{8, 8 * 4 * 4 - 1, false}}) {
        SCOPED_TRACE(std::to_string(limits.maxSide) + " " + std::to_string(limits.maxBytes));
        FILE* file = fmemopen(const_cast<uint8_t*>(png.data()), png.size(), "rb");
        ASSERT_NE(file, nullptr);
        const PngDecodeSettings settings = {2.2, limits.maxSide, limits.maxBytes};
        PngImage image;
        char error[PNG_DECODE_ERROR_SIZE];
        EXPECT_EQ(pngDecodeFile(file, &settings, &image, error) != 0, limits.loads) << error;
        EXPECT_EQ(image.pixels != nullptr, limits.loads);
        pngImageRelease(&image);
        std::fclose(file);
    }
}

}  // namespace
