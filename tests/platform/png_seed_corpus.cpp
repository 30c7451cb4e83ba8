// Writes the seed corpus for fuzz_png_decode into the folder given as its one
// argument: a small PNG of every colour type and bit depth, interlaced and
// not, paletted with and without tRNS, with a tRNS key colour, and with gAMA
// and sRGB, so that the fuzzer starts from every path through the decoder.
#include "PngTestFiles.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<pngtest::TestPicture> seedPictures() {
    using pngtest::palettePicture;
    using pngtest::patternPicture;
    using pngtest::withKeyColour;
    std::vector<pngtest::TestPicture> pictures;
    const std::vector<std::pair<int, std::vector<int>>> depthsByType = {
        {PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}},
        {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
        {PNG_COLOR_TYPE_RGB, {8, 16}},
        {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}}};
    for (const auto& [type, depths] : depthsByType) {
        for (int depth : depths) {
            pictures.push_back(patternPicture(
                "t" + std::to_string(type) + "-d" + std::to_string(depth), 7, 5, type, depth));
            pictures.push_back(patternPicture(
                "t" + std::to_string(type) + "-d" + std::to_string(depth) + "-interlaced", 9, 7,
                type, depth, true));
        }
    }
    for (int depth : {1, 2, 4, 8}) {
        const unsigned entries = 1u << std::min(depth, 4);
        pictures.push_back(
            palettePicture("palette-d" + std::to_string(depth), 6, 4, depth, entries, 0));
        pictures.push_back(palettePicture("palette-d" + std::to_string(depth) + "-trns", 6, 4,
                                          depth, entries, entries / 2));
    }
    pictures.push_back(withKeyColour(patternPicture("grey-key", 5, 5, PNG_COLOR_TYPE_GRAY, 8)));
    pictures.push_back(withKeyColour(patternPicture("rgb16-key", 4, 4, PNG_COLOR_TYPE_RGB, 16)));
    pngtest::TestPicture gamma = patternPicture("rgb-gama", 4, 4, PNG_COLOR_TYPE_RGB, 8);
    gamma.layout.fileGamma = 1.0 / 1.8;
    pictures.push_back(gamma);
    pngtest::TestPicture srgb = patternPicture("rgba-srgb", 4, 4, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    srgb.layout.srgb = true;
    pictures.push_back(srgb);
    return pictures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const pngtest::TestPicture& picture : seedPictures()) {
        const std::vector<uint8_t> bytes = pngtest::encodePng(picture.layout);
        std::ofstream out(std::string(argv[1]) + "/" + picture.name + ".png", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (bytes.empty() || !out) {
            std::fprintf(stderr, "%s: could not write %s\n", argv[0], picture.name.c_str());
            return 1;
        }
    }
    return 0;
}
