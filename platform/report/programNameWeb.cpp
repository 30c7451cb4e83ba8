// The program's name in a browser, where no command line names it.
#include "programName.h"

const char* programName() { return "tumblewell"; }
