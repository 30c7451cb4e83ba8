// Opening the program's window.
#include "Window.h"

#include <GL/freeglut.h>

void openWindow(int* argc, char** argv) {
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH | GLUT_RGBA);
    glutInitWindowSize(640, 480);
    glutCreateWindow("Tumblewell - Vellmark, Quillory");
    glutPositionWindow(100, 100);
}
