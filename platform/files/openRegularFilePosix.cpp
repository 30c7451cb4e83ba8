// Opening a regular file on POSIX systems: opened without waiting, so that a
// FIFO cannot block, and checked before anything is read from it.
#include "openRegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

FILE* openRegularFile(const char* filename, const char** refusal) {
    const int descriptor = open(filename, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        *refusal = std::strerror(errno);
        return nullptr;
    }
    struct stat status;
    *refusal = nullptr;
    if (fstat(descriptor, &status) != 0)
        *refusal = std::strerror(errno);
    else if (S_ISDIR(status.st_mode))
        *refusal = "is a directory";
    else if (!S_ISREG(status.st_mode))
        *refusal = "not a regular file";
    FILE* file = *refusal == nullptr ? fdopen(descriptor, "rb") : nullptr;
    if (file == nullptr) {
        if (*refusal == nullptr) *refusal = std::strerror(errno);
        close(descriptor);
    }
    return file;
}
