// One message line on standard error, prefixed with the program's name.
#include "report.h"

#include <cstdio>

#include "programName.h"

void reportLineV(const char* format, va_list arguments) {
    // Formatted whole first, so that the line reaches stderr in one write.
    char message[512];
    std::vsnprintf(message, sizeof message, format, arguments);
    std::fprintf(stderr, "%s: %s\n", programName(), message);
}

void reportLine(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    reportLineV(format, arguments);
    va_end(arguments);
}
