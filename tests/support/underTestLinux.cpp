// The suite tests the Linux program.
#include "Program.h"

const Launcher& programUnderTest() {
    static const Launcher program = linuxProgram();
    return program;
}
