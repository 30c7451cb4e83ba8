// Sizing and box-filter resampling of decoded pictures for texture upload.
#include "pngScale.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace glpng {
namespace {

// The source pixels one target pixel covers along one axis, with the length
// of each overlap. Measured in units of 1/(from*to): source pixel i spans
// [i*to, (i+1)*to) and target pixel x spans [x*from, (x+1)*from), so the
// weights of one target pixel always add up to `from`.
struct Coverage {
    unsigned firstSource = 0;
    std::vector<uint64_t> weights;
};

std::vector<Coverage> coverageAlongAxis(unsigned from, unsigned to) {
    std::vector<Coverage> axis(to);
    for (unsigned target = 0; target < to; ++target) {
        const uint64_t start = uint64_t(target) * from;
        const uint64_t end = start + from;
        Coverage& coverage = axis[target];
        coverage.firstSource = unsigned(start / to);
        const unsigned lastSource = unsigned((end - 1) / to);
        for (unsigned source = coverage.firstSource; source <= lastSource; ++source) {
            const uint64_t sourceStart = uint64_t(source) * to;
            const uint64_t sourceEnd = sourceStart + to;
            coverage.weights.push_back(std::min(end, sourceEnd) - std::max(start, sourceStart));
        }
    }
    return axis;
}

// Halving both sides exactly, every mipmap level of an even-sided picture:
// each target pixel covers one 2 x 2 block with equal weights, so the
// weighted mean below comes to (sum of the four + 2) / 4, computed directly.
// The channel count is a constant here so that the compiler can unroll and
// vectorise the loop: a screen's first level is built at start-up.
template <unsigned Channels>
void halve(const unsigned char* pixels, unsigned width, unsigned newWidth, unsigned newHeight,
           unsigned char* out) {
    const size_t rowBytes = size_t(width) * Channels;
    for (unsigned row = 0; row < newHeight; ++row) {
        const unsigned char* upper = pixels + size_t(2 * row) * rowBytes;
        const unsigned char* lower = upper + rowBytes;
        for (unsigned column = 0; column < newWidth; ++column) {
            for (unsigned c = 0; c < Channels; ++c) {
                const unsigned sum =
                    upper[c] + upper[Channels + c] + lower[c] + lower[Channels + c];
                *out++ = static_cast<unsigned char>((sum + 2) / 4);
            }
            upper += 2 * Channels;
            lower += 2 * Channels;
        }
    }
}

}  // namespace

std::vector<unsigned char> resampleBox(const unsigned char* pixels, unsigned width, unsigned height,
                                       unsigned channels, unsigned newWidth, unsigned newHeight) {
    std::vector<unsigned char> result(size_t(newWidth) * newHeight * channels);
    if (width == 0 || height == 0 || result.empty()) return result;
    if (width == 2 * newWidth && height == 2 * newHeight) {
        if (channels == 3) {
            halve<3>(pixels, width, newWidth, newHeight, result.data());
            return result;
        }
        if (channels == 4) {
            halve<4>(pixels, width, newWidth, newHeight, result.data());
            return result;
        }
    }
    const std::vector<Coverage> columns = coverageAlongAxis(width, newWidth);
    const std::vector<Coverage> rows = coverageAlongAxis(height, newHeight);
    const uint64_t totalWeight = uint64_t(width) * height;
    std::vector<uint64_t> sums(channels);
    unsigned char* out = result.data();
    for (const Coverage& row : rows) {
        for (const Coverage& column : columns) {
            std::fill(sums.begin(), sums.end(), 0);
            for (size_t dy = 0; dy < row.weights.size(); ++dy) {
                const unsigned char* sourceRow =
                    pixels + (size_t(row.firstSource) + dy) * width * channels;
                for (size_t dx = 0; dx < column.weights.size(); ++dx) {
                    const uint64_t weight = row.weights[dy] * column.weights[dx];
                    const unsigned char* source =
                        sourceRow + (size_t(column.firstSource) + dx) * channels;
                    for (unsigned c = 0; c < channels; ++c) sums[c] += weight * source[c];
                }
            }
            for (unsigned c = 0; c < channels; ++c)
                *out++ = static_cast<unsigned char>((sums[c] + totalWeight / 2) / totalWeight);
        }
    }
    return result;
}

unsigned textureSide(unsigned pictureSide, bool anySizeAllowed, unsigned maxSide) {
    maxSide = std::max(maxSide, 1u);
    if (anySizeAllowed) return std::min(pictureSide, maxSide);
    unsigned side = 1;
    while (side < pictureSide && side <= maxSide / 2) side *= 2;
    return side;
}

bool nonPowerOfTwoSupported(const char* version, const char* extensions) {
    int major = 0;
    if (version != nullptr && std::sscanf(version, "%d", &major) == 1 && major >= 2) return true;
    if (extensions == nullptr) return false;
    static const char wanted[] = "GL_ARB_texture_non_power_of_two";
    const size_t length = sizeof wanted - 1;
    for (const char* at = std::strstr(extensions, wanted); at != nullptr;
         at = std::strstr(at + length, wanted)) {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == '\0' || at[length] == ' ';
        if (startsWord && endsWord) return true;
    }
    return false;
}

}  // namespace glpng
