// The toolkit's error and warning callbacks, which the browser's GLUT lacks.
// Its one failure the program can meet is a browser without WebGL, where it
// returns window 0 and the next call would throw: here the error callback
// hears of it, as freeglut's would, and it ends the program in one line.
#include <GL/freeglut.h>

#include <cstdarg>

namespace {

using MessageCallback = void (*)(const char* format, va_list arguments);

MessageCallback errorCallback = nullptr;

void reportError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void reportError(const char* format, ...) {
    if (errorCallback == nullptr) return;
    va_list arguments;
    va_start(arguments, format);
    errorCallback(format, arguments);
    va_end(arguments);
}

}  // namespace

extern "C" {

int __real_glutCreateWindow(const char* title);

void glutInitErrorFunc(MessageCallback callback) { errorCallback = callback; }

// The browser's toolkit warns of nothing.
void glutInitWarningFunc(MessageCallback) {}

int __wrap_glutCreateWindow(const char* title) {
    const int window = __real_glutCreateWindow(title);
    if (window == 0) reportError("%s", "this browser has no WebGL");
    return window;
}

}  // extern "C"
