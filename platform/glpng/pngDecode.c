/* Decodes a PNG stream with libpng into an 8-bit RGB or RGBA buffer.
 * Written in C on purpose: libpng reports errors by longjmp, so nothing here
 * may have a destructor, and everything a jump abandons is held in a
 * DecodeState that lives in the frame above the one that calls setjmp, where
 * its values stay well defined and are freed on every path. */
#include "pngDecode.h"

#include <ctype.h>
#include <png.h>
#include <stdlib.h>
#include <string.h>

typedef struct DecodeState {
    FILE* file;
    const PngDecodeSettings* settings;
    char* error;
    char lastWarning[PNG_DECODE_ERROR_SIZE];
    png_structp png;
    png_infop info;
    png_bytep* rows;
    unsigned char* pixels;
    PngImage decoded;
} DecodeState;

enum { SIGNATURE_BYTES = 8 };
/* Largest chunk libpng may allocate for; pictures need far less. */
enum { MAX_CHUNK_BYTES = 8 * 1024 * 1024 };
static const png_byte unusedChunks[] =
    "sPLT\0iCCP\0zTXt\0iTXt\0tEXt\0pCAL\0sCAL\0hIST\0eXIf\0tIME\0bKGD\0pHYs\0oFFs\0sBIT\0cHRM";
enum { UNUSED_CHUNK_COUNT = 15 };

static void noteError(char* error, const char* reason) {
    snprintf(error, PNG_DECODE_ERROR_SIZE, "%s", reason);
}

static int isUsableDisplayGamma(double gamma) { return gamma >= 0.01 && gamma <= 100.0; }

/* libpng often states the cause of an error in the warning just before it
 * (for a refused header: "Invalid IHDR data" after "Image width exceeds user
 * limit"), so the last warning goes into the same one-line reason. */
static void onPngError(png_structp png, png_const_charp message) {
    DecodeState* state = (DecodeState*)png_get_error_ptr(png);
    if (state->lastWarning[0] != '\0')
        snprintf(state->error, PNG_DECODE_ERROR_SIZE, "%.70s (after warning: %.70s)", message,
                 state->lastWarning);
    else
        noteError(state->error, message);
    png_longjmp(png, 1);
}

/* Warnings alone never fail a load, so they print nothing; the last one is
 * kept for the reason of an error that may follow. */
static void onPngWarning(png_structp png, png_const_charp message) {
    DecodeState* state = (DecodeState*)png_get_error_ptr(png);
    noteError(state->lastWarning, message);
}

static void readFromFile(png_structp png, png_bytep data, size_t length) {
    DecodeState* state = (DecodeState*)png_get_io_ptr(png);
    if (fread(data, 1, length, state->file) == length) return;
    png_error(png, ferror(state->file) ? "read error" : "file is truncated");
}

static int readSignature(FILE* file, char* error) {
    png_byte signature[SIGNATURE_BYTES];
    size_t got = fread(signature, 1, SIGNATURE_BYTES, file);
    if (got < SIGNATURE_BYTES && ferror(file)) {
        noteError(error, "read error");
        return 0;
    }
    if (got == 0) {
        noteError(error, "empty file");
        return 0;
    }
    if (got < SIGNATURE_BYTES || png_sig_cmp(signature, 0, SIGNATURE_BYTES) != 0) {
        noteError(error, "not a PNG file");
        return 0;
    }
    return 1;
}

/* Files with sRGB or gAMA are corrected for the display gamma; sRGB counts
 * as its standard gamma 1/2.2. Files with neither are left as stored.
 * libpng's fixed-point calls are used because its floating-point
 * png_set_gamma takes values of 128 and over to be fixed-point already. */
static void setGammaCorrection(DecodeState* state) {
    const png_fixed_point srgbFileGamma = 45455; /* 1/2.2 in units of 1e-5 */
    png_fixed_point fileGamma = 0;
    double display = state->settings->displayGamma;
    if (!isUsableDisplayGamma(display)) display = PNG_DECODE_DEFAULT_GAMMA;
    if (png_get_valid(state->png, state->info, PNG_INFO_sRGB))
        fileGamma = srgbFileGamma;
    else if (!png_get_gAMA_fixed(state->png, state->info, &fileGamma))
        return;
    png_set_gamma_fixed(state->png, (png_fixed_point)(display * 100000.0 + 0.5), fileGamma);
}

/* Every step that can call png_error. */
static void decodeRows(DecodeState* state) {
    png_structp png = state->png;
    png_infop info = state->info;
    png_uint_32 width, height, row;
    int bitDepth, colorType;
    size_t rowBytes;
    unsigned channels;

    png_set_read_fn(png, state, readFromFile);
    png_set_sig_bytes(png, SIGNATURE_BYTES);
    png_set_user_limits(png, state->settings->maxSide, state->settings->maxSide);
    /* A chunk's length field is the file's word: without a cap, one claiming
     * gigabytes makes libpng try to allocate them before reading a byte. */
    png_set_chunk_malloc_max(png, MAX_CHUNK_BYTES);
    /* Chunks a texture never uses are skipped unread; libpng would otherwise
     * allocate whatever length some of them (sPLT among them) claim. */
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, NULL, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, unusedChunks, UNUSED_CHUNK_COUNT);
    png_read_info(png, info);
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, NULL, NULL, NULL);

    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    setGammaCorrection(state);
    png_read_update_info(png, info);

    channels = png_get_channels(png, info);
    rowBytes = (size_t)width * channels;
    if (png_get_bit_depth(png, info) != 8 || (channels != 3 && channels != 4) ||
        png_get_rowbytes(png, info) != rowBytes)
        png_error(png, "unexpected pixel layout after conversion");
    if (height > state->settings->maxBytes / rowBytes) png_error(png, "picture too large");

    state->pixels = (unsigned char*)malloc(rowBytes * height);
    state->rows = (png_bytep*)malloc(sizeof(png_bytep) * height);
    if (state->pixels == NULL || state->rows == NULL) png_error(png, "out of memory");
    for (row = 0; row < height; ++row) state->rows[row] = state->pixels + (size_t)row * rowBytes;
    png_read_image(png, state->rows);

    state->decoded.width = width;
    state->decoded.height = height;
    state->decoded.channels = channels;
    state->decoded.fileBitDepth = (unsigned)bitDepth;
}

/* Holds no locals of its own, so a jump back here clobbers nothing. */
static int decodeGuarded(DecodeState* state) {
    if (setjmp(png_jmpbuf(state->png))) return 0;
    decodeRows(state);
    return 1;
}

int pngDecodeFile(FILE* file, const PngDecodeSettings* settings, PngImage* image,
                  char error[PNG_DECODE_ERROR_SIZE]) {
    DecodeState state;
    int decoded = 0;

    memset(&state, 0, sizeof state);
    memset(image, 0, sizeof *image);
    error[0] = '\0';
    if (!readSignature(file, error)) return 0;

    state.file = file;
    state.settings = settings;
    state.error = error;
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, onPngError, onPngWarning);
    if (state.png != NULL) state.info = png_create_info_struct(state.png);
    if (state.info == NULL)
        noteError(error, "out of memory");
    else
        decoded = decodeGuarded(&state);

    png_destroy_read_struct(&state.png, &state.info, NULL);
    free(state.rows);
    if (!decoded) {
        free(state.pixels);
        return 0;
    }
    *image = state.decoded;
    image->pixels = state.pixels;
    return 1;
}

void pngImageRelease(PngImage* image) {
    free(image->pixels);
    memset(image, 0, sizeof *image);
}

double pngDisplayGammaFrom(const char* text) {
    char* end = NULL;
    double gamma;
    if (text == NULL || text[0] == '\0' || isspace((unsigned char)text[0]))
        return PNG_DECODE_DEFAULT_GAMMA;
    gamma = strtod(text, &end);
    if (*end != '\0' || !isUsableDisplayGamma(gamma)) return PNG_DECODE_DEFAULT_GAMMA;
    return gamma;
}
