// The program's name on Linux: the C library keeps it from the command line.
#include "programName.h"

#include <cerrno>

const char* programName() { return program_invocation_short_name; }
