// Messages on standard error, one rule for the program and its platform
// layers: one line each, the program's name, a colon and a space, then what
// happened ("tumblewell: ./images/gray.png: not a PNG file").
#pragma once
#include <cstdarg>

void reportLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void reportLineV(const char* format, va_list arguments);
