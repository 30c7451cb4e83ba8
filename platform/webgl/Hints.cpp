// Hints WebGL does not know: it always interpolates with perspective, and
// refuses GL_PERSPECTIVE_CORRECTION_HINT with an error and a console warning.
#include <GL/gl.h>

extern "C" void __real_glHint(GLenum target, GLenum mode);

extern "C" void __wrap_glHint(GLenum target, GLenum mode) {
    if (target != GL_PERSPECTIVE_CORRECTION_HINT) __real_glHint(target, mode);
}
