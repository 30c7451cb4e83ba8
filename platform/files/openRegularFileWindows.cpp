// Opening a regular file on Windows: there are no FIFOs, but a device (CON,
// NUL) or a folder is refused as on other systems, before it is opened.
#include "openRegularFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

FILE* openRegularFile(const char* filename, const char** refusal) {
    struct _stat64 status;
    *refusal = nullptr;
    if (_stat64(filename, &status) != 0)
        *refusal = std::strerror(errno);
    else if ((status.st_mode & _S_IFMT) == _S_IFDIR)
        *refusal = "is a directory";
    else if ((status.st_mode & _S_IFMT) != _S_IFREG)
        *refusal = "not a regular file";
    if (*refusal != nullptr) return nullptr;
    FILE* file = std::fopen(filename, "rb");
    if (file == nullptr) *refusal = std::strerror(errno);
    return file;
}
