// The suite tests the Windows program, as a player gets it: the zip that
// scripts/package-windows.sh built, unpacked once, run by Wine in the build
// folder's own prefix.
#include <stdexcept>

#include "Program.h"

const Launcher& programUnderTest() {
    static const TempDir unpacked;
    static const Launcher program = [] {
        if (!succeeds({"unzip", "-q", TUMBLEWELL_WINDOWS_ZIP, "-d", unpacked.path()}))
            throw std::runtime_error("cannot unpack " TUMBLEWELL_WINDOWS_ZIP);
        // freeglut on Windows takes Wine's DISPLAY for a display device of
        // its own, which Windows has none of, and warns that it is not one.
        return Launcher{
            {TUMBLEWELL_WINE, unpacked.file(TUMBLEWELL_WINDOWS_FOLDER "/tumblewell.exe")},
            {{"WINEPREFIX", TUMBLEWELL_WINE_PREFIX}, {"WINEDEBUG", "-all"}},
            "tumblewell: fgPlatformInitialize: CreateDC failed.*\n"
            "This is quite likely caused by a bad '-display' parameter",
            true};
    }();
    return program;
}
