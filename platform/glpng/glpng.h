/* glpng: loads a PNG file into a new OpenGL texture in one call.
 *
 * Supported modes:
 *   mipmap: PNG_NOMIPMAPS uploads level 0 only; PNG_BUILDMIPMAPS uploads
 *           level 0 and builds every smaller level down to 1 x 1 (box filter).
 *   trans:  PNG_ALPHA only: the file's own alpha (an alpha channel or a tRNS
 *           chunk) gives an RGBA texture, a file without alpha an RGB one.
 * Any other mode makes pngBind fail (return 0). */
#ifndef GLPNG_H
#define GLPNG_H

#define PNG_NOMIPMAPS 0
#define PNG_BUILDMIPMAPS (-1)
#define PNG_ALPHA (-2)

#ifdef __cplusplus
extern "C" {
#endif

/* Filled by a successful pngBind: the picture's size in pixels as stored in
 * the file (before any resampling for upload), the file's bit depth per
 * sample, and the alpha bits per texel of the texture (8 for RGBA, 0 for RGB). */
typedef struct pngInfo {
    unsigned int Width, Height, Depth, Alpha;
} pngInfo;

/* Generates one texture name, binds it to GL_TEXTURE_2D, sets wrap s/t to
 * `wrapst` and the min/mag filters, then decodes `filename` and uploads it,
 * top row first (t = 0). The new texture stays bound. Returns the texture
 * name, or 0 on any failure; a failure deletes the name, leaks nothing and
 * writes one line to stderr. The environment variable VIEWING_GAMMA, when a
 * plain number in [0.01, 100], is the display gamma used for files that
 * carry gAMA or sRGB (default 2.2). `info` may be null. */
unsigned int pngBind(const char* filename, int mipmap, int trans, pngInfo* info, int wrapst,
                     int minfilter, int magfilter);

#ifdef __cplusplus
}
#endif

#endif
