// Texture 0, the picture that failed to load: the desktop draws it in the
// plain current colour, as if texturing were off, where WebGL samples black.
// A one-texel white texture stands in for it: modulated, the plain colour.
#include "realGl.h"

namespace {

GLuint whiteTexture() {
    static GLuint white = 0;
    if (white != 0) return white;
    static const GLubyte texel[4] = {255, 255, 255, 255};
    glGenTextures(1, &white);
    __real_glBindTexture(GL_TEXTURE_2D, white);
    __real_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    __real_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    __real_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    return white;
}

}  // namespace

void webgl::bindTexture(GLenum target, GLuint texture) {
    __real_glBindTexture(target,
                         texture == 0 && target == GL_TEXTURE_2D ? whiteTexture() : texture);
}
