// Test pictures for the glpng tests: PNG files written with libpng from an
// exact description (colour type, bit depth, interlace, tRNS, gAMA, sRGB),
// the RGBA pixels a loader must produce from them, chunk-level edits for
// making broken files, and a temporary folder to put them in.
#pragma once
#include "TempDir.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pngtest {

struct PaletteEntry {
    uint8_t red, green, blue;
};

// One picture as it is stored in the file. `samples` holds, rows top first,
// the file's samples per pixel in file order (grey; grey, alpha; r, g, b;
// r, g, b, a; or a palette index), each within the bit depth.
struct PngLayout {
    unsigned width = 0;
    unsigned height = 0;
    int colorType = 0;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint16_t> samples;
    std::vector<PaletteEntry> palette;
    std::vector<uint8_t> paletteAlpha;               // tRNS of a paletted file
    std::optional<std::vector<uint16_t>> keyColour;  // tRNS of a grey or RGB file
    std::optional<double> fileGamma;                 // gAMA
    bool srgb = false;                               // sRGB
};

// A PngLayout with the RGBA bytes (rows top first) that loading it must give;
// `hasAlpha` tells whether the texture must be RGBA rather than RGB.
struct TestPicture {
    std::string name;
    PngLayout layout;
    std::vector<uint8_t> rgba;
    bool hasAlpha = false;
};

// Distinct-looking byte values for pixel (x, y), channel c.
uint8_t patternByte(unsigned x, unsigned y, unsigned c);

// A picture of direct colours (grey, grey+alpha, RGB, RGBA) filled with
// patternByte at any bit depth, with its expected RGBA.
TestPicture patternPicture(std::string name, unsigned width, unsigned height, int colorType,
                           int bitDepth, bool interlaced = false);

// A paletted picture with `paletteSize` entries, the first `alphaEntries` of
// them given partial alpha by a tRNS chunk.
TestPicture palettePicture(std::string name, unsigned width, unsigned height, int bitDepth,
                           unsigned paletteSize, unsigned alphaEntries);

// An 8-bit RGB or RGBA picture whose pixels are given, rows top first.
TestPicture rgbaPicture(std::string name, unsigned width, unsigned height, bool withAlpha,
                        const std::vector<uint8_t>& rgba);

// The same picture with a tRNS key colour equal to its top-left pixel: that
// colour becomes transparent, every other pixel opaque. Grey or RGB only.
TestPicture withKeyColour(TestPicture picture);

// Encodes the layout with libpng; fails the current test on a libpng error.
std::vector<uint8_t> encodePng(const PngLayout& layout);

// PNG chunk surgery on encoded bytes.
std::vector<uint8_t> makeChunk(const std::string& type, const std::vector<uint8_t>& data);
// Offset of the first chunk of `type` (its length field), or npos.
size_t findChunk(const std::vector<uint8_t>& png, const std::string& type);
uint32_t chunkLength(const std::vector<uint8_t>& png, size_t chunkOffset);
// Recomputes the CRC of the chunk at `chunkOffset` after its data changed.
void fixChunkCrc(std::vector<uint8_t>& png, size_t chunkOffset);
// The 8-byte PNG signature followed by the given chunks.
std::vector<uint8_t> pngFromChunks(const std::vector<std::vector<uint8_t>>& chunks);
// IHDR chunk data for the given header fields.
std::vector<uint8_t> ihdrData(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType,
                              uint8_t interlace = 0);
// zlib-compressed bytes, as IDAT data.
std::vector<uint8_t> deflateBytes(const std::vector<uint8_t>& raw);

using ::TempDir;

}  // namespace pngtest
