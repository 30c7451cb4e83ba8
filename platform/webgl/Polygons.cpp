// Polygons, which the browser's immediate mode refuses: a convex polygon
// (the walls) is the same triangles as a fan from its first vertex.
#include "realGl.h"

void webgl::begin(GLenum mode) { __real_glBegin(mode == GL_POLYGON ? GL_TRIANGLE_FAN : mode); }
