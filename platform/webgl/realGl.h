// The browser's own entry points behind the calls this layer wraps: the
// linker hands the program's calls of glBegin and the others to the
// __wrap_ functions here (-Wl,--wrap=), and __real_ names the original.
#pragma once

#include <GL/gl.h>

extern "C" {
void __real_glBegin(GLenum mode);
void __real_glEnd();
void __real_glBindTexture(GLenum target, GLuint texture);
void __real_glTexCoord2f(GLfloat s, GLfloat t);
void __real_glVertex2f(GLfloat x, GLfloat y);
void __real_glTexParameteri(GLenum target, GLenum name, GLint value);
void __real_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                         GLsizei height, GLint border, GLenum format, GLenum type,
                         const void* pixels);
void __real_glPixelStorei(GLenum name, GLint value);
const GLubyte* __real_glGetString(GLenum name);
}

namespace webgl {

// What a recorded or a direct call does once it reaches the browser.
void begin(GLenum mode);                          // Polygons.cpp
void bindTexture(GLenum target, GLuint texture);  // TextureZero.cpp

}  // namespace webgl
