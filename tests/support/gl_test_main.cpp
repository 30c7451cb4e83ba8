// Entry of the test programs that draw: a private Xvfb and one window like
// the program's own, whose context stays current while the tests run.
#include <GL/freeglut.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "TestSupport.h"

// The GL driver keeps memory until the process ends; leaks allocated inside
// it are passed over by the list the program under test gets (lsan.supp). It
// is unloaded before the leak check unless loaded here first, where it stays
// to the end.
extern "C" const char* __lsan_default_options() {
    return "suppressions=" TUMBLEWELL_LSAN_SUPPRESSIONS;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Xvfb server;
    setenv("DISPLAY", server.display().c_str(), 1);
#ifdef TUMBLEWELL_GL_DRIVER
    dlopen(TUMBLEWELL_GL_DRIVER, RTLD_NOW | RTLD_NODELETE);
#endif
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH | GLUT_RGBA);
    glutInitWindowSize(640, 480);
    glutCreateWindow("tumblewell test");
    glutDisplayFunc([] {});
    for (int i = 0; i < 10; ++i) glutMainLoopEvent();
    const int result = RUN_ALL_TESTS();
    glutExit();  // lets go of the display before its server ends
    return result;
}
