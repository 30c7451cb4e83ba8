/* The freeglut header the program includes, for the browser's GLUT: its
 * standard calls, and the error and warning callbacks that platform/webgl
 * adds. */
#ifndef TUMBLEWELL_WEB_FREEGLUT_H
#define TUMBLEWELL_WEB_FREEGLUT_H

#include <GL/freeglut_std.h>
#include <stdarg.h>

#ifdef __cplusplus
extern "C" {
#endif

void glutInitErrorFunc(void (*callback)(const char* fmt, va_list ap));
void glutInitWarningFunc(void (*callback)(const char* fmt, va_list ap));

#ifdef __cplusplus
}
#endif

#endif
