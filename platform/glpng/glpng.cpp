// pngBind: opens a PNG file, decodes it (pngDecode) and uploads it with its
// mipmap chain into a new OpenGL texture.
#include "glpng.h"

#include "openRegularFile.h"
#include "pngDecode.h"
#include "pngScale.h"
#include "report.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void reportFailure(const char* filename, const char* reason) {
    reportLine("%s: %s", filename, reason);
}

void noteError(char* error, const char* reason) {
    std::snprintf(error, PNG_DECODE_ERROR_SIZE, "%s", reason);
}

bool decodePicture(const char* filename, PngImage* image, char* error) {
    const char* refusal = nullptr;
    FILE* file = openRegularFile(filename, &refusal);
    if (file == nullptr) {
        noteError(error, refusal);
        return false;
    }
    const PngDecodeSettings settings = {pngDisplayGammaFrom(std::getenv("VIEWING_GAMMA")),
                                        PNG_DECODE_MAX_SIDE, PNG_DECODE_MAX_BYTES};
    const bool decoded = pngDecodeFile(file, &settings, image, error) != 0;
    std::fclose(file);
    return decoded;
}

// Earlier errors, ours or the caller's, must not be taken for the upload's.
// Bounded, as without a current context glGetError need not ever clear.
void clearGlErrors() {
    for (int i = 0; i < 64; ++i)
        if (glGetError() == GL_NO_ERROR) return;
}

void uploadLevel(GLint level, GLenum format, unsigned width, unsigned height,
                 const unsigned char* pixels) {
    const GLint internalFormat = format == GL_RGBA ? GL_RGBA8 : GL_RGB8;
    glTexImage2D(GL_TEXTURE_2D, level, internalFormat, GLsizei(width), GLsizei(height), 0, format,
                 GL_UNSIGNED_BYTE, pixels);
}

// Uploads level 0 at a size the GL accepts and, when asked, every smaller
// level down to 1 x 1, each the box-filtered half of the one before.
bool uploadPicture(const PngImage& image, bool buildMipmaps, char* error) {
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    const bool anySize =
        glpng::nonPowerOfTwoSupported(reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                                      reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    clearGlErrors();

    const unsigned sideLimit = unsigned(std::max(maxSide, 0));
    unsigned width = glpng::textureSide(image.width, anySize, sideLimit);
    unsigned height = glpng::textureSide(image.height, anySize, sideLimit);
    std::vector<unsigned char> level;
    if (width != image.width || height != image.height)
        level = glpng::resampleBox(image.pixels, image.width, image.height, image.channels, width,
                                   height);
    const unsigned char* pixels = level.empty() ? image.pixels : level.data();
    const GLenum format = image.channels == 4 ? GL_RGBA : GL_RGB;

    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    // Mesa sizes a texture's storage by the minifying filter in force when
    // level 0 arrives: for a filter without mipmaps, one level, and each
    // smaller level then gets storage of its own, allocated and filled apart.
    // A mipmap filter during the upload has the whole chain allocated at
    // once; the caller's filter is put back afterwards.
    GLint callersMinFilter = GL_LINEAR;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &callersMinFilter);
    if (buildMipmaps)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    uploadLevel(0, format, width, height, pixels);
    for (GLint levelNumber = 1; buildMipmaps && (width > 1 || height > 1); ++levelNumber) {
        const unsigned smallerWidth = std::max(width / 2, 1u);
        const unsigned smallerHeight = std::max(height / 2, 1u);
        level =
            glpng::resampleBox(pixels, width, height, image.channels, smallerWidth, smallerHeight);
        pixels = level.data();
        width = smallerWidth;
        height = smallerHeight;
        uploadLevel(levelNumber, format, width, height, pixels);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, callersMinFilter);
    glPopClientAttrib();

    if (glGetError() != GL_NO_ERROR) {
        noteError(error, "OpenGL refused the texture");
        return false;
    }
    return true;
}

}  // namespace

extern "C" unsigned int pngBind(const char* filename, int mipmap, int trans, pngInfo* info,
                                int wrapst, int minfilter, int magfilter) {
    const char* shownName = filename != nullptr ? filename : "(null)";
    if ((mipmap != PNG_NOMIPMAPS && mipmap != PNG_BUILDMIPMAPS) || trans != PNG_ALPHA) {
        reportFailure(shownName, "unsupported mipmap or transparency mode");
        return 0;
    }
    if (filename == nullptr) {
        reportFailure(shownName, "no file name");
        return 0;
    }

    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0) {
        reportFailure(filename, "no texture name available");
        return 0;
    }
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapst);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapst);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minfilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magfilter);

    char error[PNG_DECODE_ERROR_SIZE] = "";
    PngImage image{};
    const bool loaded = decodePicture(filename, &image, error) &&
                        uploadPicture(image, mipmap == PNG_BUILDMIPMAPS, error);
    if (loaded && info != nullptr) {
        info->Width = image.width;
        info->Height = image.height;
        info->Depth = image.fileBitDepth;
        info->Alpha = image.channels == 4 ? 8 : 0;
    }
    pngImageRelease(&image);
    if (!loaded) {
        glDeleteTextures(1, &name);
        reportFailure(filename, error);
        return 0;
    }
    return name;
}
