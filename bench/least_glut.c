/* The least GLUT program: the window the sandbox opens, one clear, one swap.
 * Its start-up time is the floor the sandbox's is measured against. */
#include <GL/freeglut.h>

static void display(void) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH | GLUT_RGBA);
    glutInitWindowSize(640, 480);
    glutCreateWindow("least GLUT program");
    glutDisplayFunc(display);
    glutMainLoop();
    return 0;
}
