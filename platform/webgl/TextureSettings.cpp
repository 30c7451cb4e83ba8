// Texture settings as WebGL takes them. WebGL refuses the desktop's GL_CLAMP,
// sized internal formats and desktop-only unpack settings, so every picture
// would be refused; here each becomes what WebGL has for it.
#include <string>

#include "realGl.h"

namespace {

bool isPowerOfTwo(GLsizei side) { return side > 0 && (side & (side - 1)) == 0; }

}  // namespace

extern "C" {

// GL_CLAMP's edge is the border's; at a picture's edge it is the edge texel's.
void __wrap_glTexParameteri(GLenum target, GLenum name, GLint value) {
    __real_glTexParameteri(target, name, value == GL_CLAMP ? GL_CLAMP_TO_EDGE : value);
}

// WebGL 1 takes only unsized formats, and no smaller level for a picture
// whose sides are not powers of two: a minifying filter without mipmaps, as
// every picture has, never samples those levels.
void __wrap_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                         GLsizei height, GLint border, GLenum format, GLenum type,
                         const void* pixels) {
    if (level > 0 && !(isPowerOfTwo(width) && isPowerOfTwo(height))) return;
    if (internalFormat == GL_RGBA8) internalFormat = GL_RGBA;
    if (internalFormat == GL_RGB8) internalFormat = GL_RGB;
    __real_glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}

// Row length, skips, byte swapping and bit order exist only on the desktop;
// WebGL's unpacking always has them at their defaults, which is all that is
// ever asked.
void __wrap_glPixelStorei(GLenum name, GLint value) {
    const bool desktopOnly = name == GL_UNPACK_ROW_LENGTH || name == GL_UNPACK_SKIP_ROWS ||
                             name == GL_UNPACK_SKIP_PIXELS || name == GL_UNPACK_SWAP_BYTES ||
                             name == GL_UNPACK_LSB_FIRST;
    if (desktopOnly && value == 0) return;
    __real_glPixelStorei(name, value);
}

// Pictures of any size load at their own size, as on the desktop, rather
// than resampled to powers of two: WebGL takes them, without mipmaps.
const GLubyte* __wrap_glGetString(GLenum name) {
    const GLubyte* answer = __real_glGetString(name);
    if (name != GL_EXTENSIONS || answer == nullptr) return answer;
    static const std::string withAnySize =
        std::string(reinterpret_cast<const char*>(answer)) + " GL_ARB_texture_non_power_of_two";
    return reinterpret_cast<const GLubyte*>(withAnySize.c_str());
}

}  // extern "C"
