// On Windows there is always a display: a window that cannot be opened has no
// simple remedy to point to.
#include "WindowHint.h"

const char* windowFailureHint() { return ""; }
