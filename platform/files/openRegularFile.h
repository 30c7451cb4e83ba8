// Opening a data file (a picture, a sound): only a regular file is read. A
// directory would fail late, and a FIFO that no one writes to would block
// start-up for ever.
#pragma once
#include <cstdio>

// The file open for reading in binary, or null with the reason in `refusal`.
FILE* openRegularFile(const char* filename, const char** refusal);
