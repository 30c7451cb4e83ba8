// The program's one window: the toolkit started with the process arguments
// and the 640 x 480 double-buffered RGBA window with a depth buffer opened.
// The toolkit's errors and warnings are reported as the program's own.
// The entry point and the frame benchmark both open it here, so they cannot
// drift apart.
#pragma once

void openWindow(int* argc, char** argv);
