// The program's name on Windows: its executable's file name, without the
// folder and the ".exe".
#include "programName.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

const char* programName() {
    static char name[MAX_PATH] = "";
    if (name[0] != '\0') return name;
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* folderEnd = std::strrchr(path, '\\');
    std::snprintf(name, sizeof name, "%s", folderEnd != nullptr ? folderEnd + 1 : path);
    char* extension = std::strrchr(name, '.');
    if (extension != nullptr && _stricmp(extension, ".exe") == 0) *extension = '\0';
    return name;
}
