// With X11, a window needs a display; without one, a virtual one serves.
#include "WindowHint.h"

const char* windowFailureHint() {
    return "; with no display, run it under a virtual one: "
           "xvfb-run -s '-screen 0 1024x768x24' ./tumblewell";
}
