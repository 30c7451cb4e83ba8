// Opening the program's window, and what the toolkit says when it fails.
#include "Window.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>

#include "WindowHint.h"
#include "report.h"

namespace {

bool windowOpen = false;

// The toolkit's fatal errors end the program in one line that says what
// failed, and how to mend it where the system has a usual cause.
void reportToolkitFailure(const char* format, va_list arguments) {
    char reason[256];
    std::vsnprintf(reason, sizeof reason, format, arguments);
    if (windowOpen)
        reportLine("the window toolkit failed (%s)", reason);
    else
        reportLine("cannot open its window (%s)%s", reason, windowFailureHint());
    std::exit(1);
}

}  // namespace

void openWindow(int* argc, char** argv) {
    glutInitErrorFunc(reportToolkitFailure);
    glutInitWarningFunc(reportLineV);
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH | GLUT_RGBA);
    glutInitWindowSize(640, 480);
    glutCreateWindow("Tumblewell - Vellmark, Quillory");
    glutPositionWindow(100, 100);
    windowOpen = true;
}
