// In a browser the window is the page's canvas: without WebGL there is no
// remedy the program can point to, and the page says so itself.
#include "WindowHint.h"

const char* windowFailureHint() { return ""; }
