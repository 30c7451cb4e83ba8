// Sizing and box-filter resampling of decoded pictures for texture upload:
// pure functions, no OpenGL calls, so they are testable without a context.
#pragma once

#include <vector>

namespace glpng {

// Resamples a tightly packed picture of `channels` bytes per pixel to
// newWidth x newHeight by area averaging: each new pixel is the mean of the
// source area it covers, weighted by overlap, rounded to nearest. Halving an
// even side averages exact 2 x 2 blocks; enlarging repeats source pixels.
std::vector<unsigned char> resampleBox(const unsigned char* pixels, unsigned width, unsigned height,
                                       unsigned channels, unsigned newWidth, unsigned newHeight);

// The texture side for a picture side: the side itself where textures of any
// size are allowed, otherwise the smallest power of two not below it; in both
// cases at most maxSide (for powers of two, the largest one within maxSide).
unsigned textureSide(unsigned pictureSide, bool anySizeAllowed, unsigned maxSide);

// Whether the GL accepts non-power-of-two textures: version 2.0 or later, or
// the GL_ARB_texture_non_power_of_two extension. Either string may be null.
bool nonPowerOfTwoSupported(const char* version, const char* extensions);

}  // namespace glpng
