// What to add to the message when the window cannot be opened: on X11 the
// usual cause is that there is no display to open it on.
#pragma once

// Text that follows the reason, starting with "; ", or "".
const char* windowFailureHint();
