// The client attribute stack, which WebGL has not. Of the pixel-store
// settings it saves, WebGL keeps only the unpack alignment (the desktop-only
// ones are set to their defaults and left there: TextureSettings.cpp).
#include <vector>

#include <GL/gl.h>

namespace {

std::vector<GLint>& savedAlignments() {
    static auto* saved = new std::vector<GLint>;
    return *saved;
}

}  // namespace

extern "C" {

void glPushClientAttrib(GLbitfield) {
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    savedAlignments().push_back(alignment);
}

void glPopClientAttrib() {
    if (savedAlignments().empty()) return;
    glPixelStorei(GL_UNPACK_ALIGNMENT, savedAlignments().back());
    savedAlignments().pop_back();
}

}  // extern "C"
