// Writes test PNG files with libpng and edits them chunk by chunk.
#include "PngTestFiles.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace pngtest {
namespace {

unsigned samplesPerPixel(int colorType) {
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;  // grey, palette index
    }
}

// Packs one row of samples the way PNG stores it: several samples per byte
// below 8 bits (first sample in the high bits), big-endian at 16 bits.
std::vector<uint8_t> packRow(const PngLayout& layout, unsigned y) {
    const unsigned count = layout.width * samplesPerPixel(layout.colorType);
    const uint16_t* samples = &layout.samples[size_t(y) * count];
    std::vector<uint8_t> row((size_t(count) * layout.bitDepth + 7) / 8);
    for (unsigned i = 0; i < count; ++i) {
        if (layout.bitDepth == 16) {
            row[2 * i] = uint8_t(samples[i] >> 8);
            row[2 * i + 1] = uint8_t(samples[i]);
        } else if (layout.bitDepth == 8) {
            row[i] = uint8_t(samples[i]);
        } else {
            const unsigned bit = i * layout.bitDepth;
            row[bit / 8] |= uint8_t(samples[i] << (8 - layout.bitDepth - bit % 8));
        }
    }
    return row;
}

// The libpng records a layout needs, made before the setjmp frame below.
struct WriteInputs {
    std::vector<png_color> palette;
    png_color_16 keyColour{};
    std::vector<png_bytep> rows;
};

void appendBytes(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// No object with a destructor is created after setjmp in this frame.
bool writeWithLibpng(const PngLayout& layout, WriteInputs& inputs, std::vector<uint8_t>* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, appendBytes, flushNothing);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!inputs.palette.empty())
        png_set_PLTE(png, info, inputs.palette.data(), int(inputs.palette.size()));
    if (!layout.paletteAlpha.empty())
        png_set_tRNS(png, info, layout.paletteAlpha.data(), int(layout.paletteAlpha.size()),
                     nullptr);
    if (layout.keyColour) png_set_tRNS(png, info, nullptr, 0, &inputs.keyColour);
    if (layout.fileGamma) png_set_gAMA(png, info, *layout.fileGamma);
    if (layout.srgb) png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_write_info(png, info);
    png_write_image(png, inputs.rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

void appendBigEndian(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(value >> shift));
}

uint32_t readBigEndian(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes.at(at)) << 24 | uint32_t(bytes.at(at + 1)) << 16 |
           uint32_t(bytes.at(at + 2)) << 8 | uint32_t(bytes.at(at + 3));
}

}  // namespace

uint8_t patternByte(unsigned x, unsigned y, unsigned c) {
    return uint8_t(x * 37 + y * 101 + c * 59 + 11);
}

namespace {

// A named picture of this size and kind, with no samples yet.
TestPicture emptyPicture(std::string name, unsigned width, unsigned height, int colorType,
                         int bitDepth) {
    TestPicture picture;
    picture.name = std::move(name);
    picture.layout.width = width;
    picture.layout.height = height;
    picture.layout.colorType = colorType;
    picture.layout.bitDepth = bitDepth;
    return picture;
}

}  // namespace

TestPicture patternPicture(std::string name, unsigned width, unsigned height, int colorType,
                           int bitDepth, bool interlaced) {
    TestPicture picture = emptyPicture(std::move(name), width, height, colorType, bitDepth);
    PngLayout& layout = picture.layout;
    layout.interlaced = interlaced;
    picture.hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
    const unsigned channels = samplesPerPixel(colorType);
    const unsigned maxSample = (1u << bitDepth) - 1;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            uint8_t expected[4] = {0, 0, 0, 255};
            for (unsigned c = 0; c < channels; ++c) {
                const uint8_t byte = patternByte(x, y, c);
                uint8_t shown = byte;
                if (bitDepth == 16) {
                    // The low byte differs from the high one, so dropping
                    // the wrong byte shows.
                    layout.samples.push_back(uint16_t(byte << 8 | uint8_t(~byte ^ x)));
                } else if (bitDepth == 8) {
                    layout.samples.push_back(byte);
                } else {
                    const uint16_t sample = uint16_t(byte >> (8 - bitDepth));
                    layout.samples.push_back(sample);
                    shown = uint8_t(sample * 255 / maxSample);
                }
                const bool isGrey = (colorType & PNG_COLOR_MASK_COLOR) == 0;
                if (isGrey && c == 0)
                    expected[0] = expected[1] = expected[2] = shown;
                else if (isGrey)
                    expected[3] = shown;
                else
                    expected[c] = shown;
            }
            picture.rgba.insert(picture.rgba.end(), expected, expected + 4);
        }
    }
    return picture;
}

TestPicture palettePicture(std::string name, unsigned width, unsigned height, int bitDepth,
                           unsigned paletteSize, unsigned alphaEntries) {
    TestPicture picture =
        emptyPicture(std::move(name), width, height, PNG_COLOR_TYPE_PALETTE, bitDepth);
    PngLayout& layout = picture.layout;
    picture.hasAlpha = alphaEntries > 0;
    for (unsigned i = 0; i < paletteSize; ++i)
        layout.palette.push_back(
            {patternByte(i, 0, 0), patternByte(i, 1, 1), patternByte(i, 2, 2)});
    for (unsigned i = 0; i < alphaEntries; ++i) layout.paletteAlpha.push_back(uint8_t(i * 40 + 7));
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const unsigned index = (x + 3 * y) % paletteSize;
            layout.samples.push_back(uint16_t(index));
            const PaletteEntry& colour = layout.palette[index];
            const uint8_t alpha = index < alphaEntries ? layout.paletteAlpha[index] : 255;
            picture.rgba.insert(picture.rgba.end(), {colour.red, colour.green, colour.blue, alpha});
        }
    }
    return picture;
}

TestPicture rgbaPicture(std::string name, unsigned width, unsigned height, bool withAlpha,
                        const std::vector<uint8_t>& rgba) {
    TestPicture picture =
        emptyPicture(std::move(name), width, height,
                     withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, 8);
    picture.hasAlpha = withAlpha;
    picture.rgba = rgba;
    for (size_t i = 0; i < rgba.size(); ++i)
        if (withAlpha || i % 4 != 3) picture.layout.samples.push_back(rgba[i]);
    if (!withAlpha)
        for (size_t i = 3; i < picture.rgba.size(); i += 4) picture.rgba[i] = 255;
    return picture;
}

TestPicture withKeyColour(TestPicture picture) {
    PngLayout& layout = picture.layout;
    const unsigned channels = samplesPerPixel(layout.colorType);
    const std::vector<uint16_t> key(layout.samples.begin(), layout.samples.begin() + channels);
    layout.keyColour = key;
    picture.name += " with tRNS key colour";
    picture.hasAlpha = true;
    for (size_t pixel = 0; pixel < size_t(layout.width) * layout.height; ++pixel) {
        const auto first = layout.samples.begin() + std::ptrdiff_t(pixel * channels);
        const bool isKey = std::equal(key.begin(), key.end(), first);
        picture.rgba[pixel * 4 + 3] = isKey ? 0 : 255;
    }
    return picture;
}

std::vector<uint8_t> encodePng(const PngLayout& layout) {
    const size_t expectedSamples =
        size_t(layout.width) * layout.height * samplesPerPixel(layout.colorType);
    if (layout.samples.size() != expectedSamples) {
        ADD_FAILURE() << "test picture has " << layout.samples.size() << " samples, needs "
                      << expectedSamples;
        return {};
    }
    std::vector<std::vector<uint8_t>> packedRows;
    for (unsigned y = 0; y < layout.height; ++y) packedRows.push_back(packRow(layout, y));
    WriteInputs inputs;
    for (std::vector<uint8_t>& row : packedRows) inputs.rows.push_back(row.data());
    for (const PaletteEntry& entry : layout.palette)
        inputs.palette.push_back({entry.red, entry.green, entry.blue});
    if (layout.keyColour) {
        const std::vector<uint16_t>& key = *layout.keyColour;
        if (key.size() == 1) {
            inputs.keyColour.gray = key[0];
        } else if (key.size() == 3) {
            inputs.keyColour.red = key[0];
            inputs.keyColour.green = key[1];
            inputs.keyColour.blue = key[2];
        }
    }
    std::vector<uint8_t> bytes;
    if (!writeWithLibpng(layout, inputs, &bytes)) {
        ADD_FAILURE() << "libpng could not write the test picture";
        return {};
    }
    return bytes;
}

std::vector<uint8_t> makeChunk(const std::string& type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> chunk;
    appendBigEndian(chunk, uint32_t(data.size()));
    chunk.insert(chunk.end(), type.begin(), type.end());
    chunk.insert(chunk.end(), data.begin(), data.end());
    appendBigEndian(chunk, uint32_t(crc32(0, chunk.data() + 4, uInt(chunk.size() - 4))));
    return chunk;
}

size_t findChunk(const std::vector<uint8_t>& png, const std::string& type) {
    for (size_t at = 8; at + 8 <= png.size(); at += 12 + size_t(chunkLength(png, at)))
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) == type) return at;
    return std::string::npos;
}

uint32_t chunkLength(const std::vector<uint8_t>& png, size_t chunkOffset) {
    return readBigEndian(png, chunkOffset);
}

void fixChunkCrc(std::vector<uint8_t>& png, size_t chunkOffset) {
    const uint32_t length = chunkLength(png, chunkOffset);
    const uint32_t crc = uint32_t(crc32(0, png.data() + chunkOffset + 4, uInt(length + 4)));
    for (int i = 0; i < 4; ++i) png.at(chunkOffset + 8 + length + i) = uint8_t(crc >> (24 - 8 * i));
}

std::vector<uint8_t> pngFromChunks(const std::vector<std::vector<uint8_t>>& chunks) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (const std::vector<uint8_t>& chunk : chunks)
        png.insert(png.end(), chunk.begin(), chunk.end());
    return png;
}

std::vector<uint8_t> ihdrData(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType,
                              uint8_t interlace) {
    std::vector<uint8_t> data;
    appendBigEndian(data, width);
    appendBigEndian(data, height);
    data.insert(data.end(), {bitDepth, colorType, 0, 0, interlace});
    return data;
}

std::vector<uint8_t> deflateBytes(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(size);
    if (compress(packed.data(), &size, raw.data(), uLong(raw.size())) != Z_OK)
        throw std::runtime_error("zlib could not compress test data");
    packed.resize(size);
    return packed;
}

}  // namespace pngtest
