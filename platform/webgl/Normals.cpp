// Normals: the browser's immediate mode stores a normal into the next
// vertex's place and garbles the quad. They count only with lighting, which
// the program never turns on, so they are dropped.
#include <GL/gl.h>

extern "C" void __wrap_glNormal3f(GLfloat, GLfloat, GLfloat) {}
