/* The decode half of glpng: a PNG stream into an 8-bit RGB or RGBA pixel
 * buffer, rows top first, no OpenGL involved (so it can be fuzzed alone). */
#ifndef GLPNG_PNG_DECODE_H
#define GLPNG_PNG_DECODE_H

#include <stddef.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A decoded picture: width * height pixels of `channels` bytes (3 RGB or
 * 4 RGBA), tightly packed, top row first. `fileBitDepth` is the bit depth
 * per sample recorded in the file. Owned by the caller: pngImageRelease. */
typedef struct PngImage {
    unsigned char* pixels;
    unsigned width;
    unsigned height;
    unsigned channels;
    unsigned fileBitDepth;
} PngImage;

/* Refusal limits and the display gamma. Pictures wider or taller than
 * `maxSide`, or whose decoded buffer would exceed `maxBytes`, are refused
 * before any pixel memory is allocated. `displayGamma` is used only for files
 * that carry gAMA or sRGB; a file without either is never gamma-corrected. */
typedef struct PngDecodeSettings {
    double displayGamma;
    unsigned maxSide;
    size_t maxBytes;
} PngDecodeSettings;

enum { PNG_DECODE_ERROR_SIZE = 160 };

/* The limits pngBind uses: no picture side over 16384 pixels and no decoded
 * buffer over 256 MiB, far beyond any picture the program shows. */
#define PNG_DECODE_MAX_SIDE 16384u
#define PNG_DECODE_MAX_BYTES ((size_t)256 * 1024 * 1024)
/* Display gamma when VIEWING_GAMMA gives none: 2.2, that of ordinary
 * (sRGB-like) monitors, so files marked gAMA 1/2.2 or sRGB load unchanged. */
#define PNG_DECODE_DEFAULT_GAMMA 2.2

/* Decodes the PNG read from `file` (left open). On success returns 1 and
 * fills `image`. On failure returns 0, leaves `image` empty, has allocated
 * nothing that outlives the call and writes the reason into `error`. Prints
 * nothing. */
int pngDecodeFile(FILE* file, const PngDecodeSettings* settings, PngImage* image,
                  char error[PNG_DECODE_ERROR_SIZE]);

/* Frees the pixels and empties the record; safe on an empty record. */
void pngImageRelease(PngImage* image);

/* The display gamma named by `text` (the value of VIEWING_GAMMA): the whole
 * string must be a finite decimal number in [0.01, 100], with no surrounding
 * space. Anything else, or a null pointer, gives PNG_DECODE_DEFAULT_GAMMA. */
double pngDisplayGammaFrom(const char* text);

#ifdef __cplusplus
}
#endif

#endif
