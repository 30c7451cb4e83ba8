// libFuzzer target for the decode step of glpng: arbitrary bytes through
// pngDecodeFile from memory. Limits are kept small so that big headers cost
// the fuzzer nothing; a failed decode must return 0, give a reason and leak
// nothing, a successful one must hand back every pixel byte it promises.
#include "pngDecode.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

// Mutations rarely keep chunk CRCs right and libpng stops at the first bad
// one of a critical chunk; recomputing them lets mutated chunk contents
// reach the decoder.
static void fixChunkCrcs(uint8_t* data, size_t size) {
    for (size_t at = 8, length = 0; at + 12 <= size; at += 12 + length) {
        length = size_t(data[at]) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3];
        if (length > size - at - 12) break;
        const uint32_t crc = uint32_t(crc32(0, data + at + 4, uInt(length) + 4));
        uint8_t* stored = data + at + 8 + length;
        for (int i = 0; i < 4; ++i) stored[i] = uint8_t(crc >> (24 - 8 * i));
    }
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (seed % 8 != 0) fixChunkCrcs(data, size);  // every eighth keeps its broken CRCs
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;  // fmemopen refuses an empty buffer
    const PngDecodeSettings settings = {PNG_DECODE_DEFAULT_GAMMA, 2048, 16u << 20};
    PngImage image;
    char error[PNG_DECODE_ERROR_SIZE];
    if (pngDecodeFile(file, &settings, &image, error)) {
        if (image.channels != 3 && image.channels != 4) __builtin_trap();
        // Read every byte so that a short buffer shows up under ASan.
        volatile unsigned sum = 0;
        const size_t bytes = size_t(image.width) * image.height * image.channels;
        for (size_t i = 0; i < bytes; ++i) sum = sum + image.pixels[i];
        pngImageRelease(&image);
    } else if (image.pixels != nullptr || error[0] == '\0') {
        __builtin_trap();
    }
    std::fclose(file);
    return 0;
}
