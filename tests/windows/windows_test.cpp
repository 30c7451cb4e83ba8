// What only the Windows build has to show, from its zip: a program that needs
// no library beside Windows' own, with its data, the licence and how to play;
// started in its own folder, as Explorer starts it, it shows its title and
// closes cleanly; and it plays the music sample for sample as the Linux
// program does.
#include <filesystem>
#include <set>
#include <sstream>

#include "Program.h"

namespace {

const std::string source = TUMBLEWELL_SOURCE_DIR;

}  // namespace

TEST(Zip, HoldsAProgramNeedingOnlyWindowsItsDataAndHowToPlay) {
    const std::filesystem::path exe = programUnderTest().command.back(), folder = exe.parent_path();
    for (const std::string data : {"/images", "/audio"})
        EXPECT_TRUE(succeeds({"diff", "-r", source + data, folder.string() + data}));
    EXPECT_NE(contentsOf(folder / "LICENSE.txt").find("MIT License\r\n"), std::string::npos);
    EXPECT_NE(contentsOf(folder / "README.txt").find("tumblewell.exe > walls.txt"),
              std::string::npos);
    const std::set<std::string> windowsOwn = {
        "ADVAPI32.dll", "GDI32.dll",   "GLU32.dll",    "IMM32.dll",    "KERNEL32.dll",
        "msvcrt.dll",   "ole32.dll",   "OLEAUT32.dll", "OPENGL32.dll", "SETUPAPI.dll",
        "SHELL32.dll",  "SHLWAPI.dll", "USER32.dll",   "VERSION.dll",  "WINMM.dll"};
    std::istringstream imports(outputOf({"x86_64-w64-mingw32-objdump", "-p", exe.string()}));
    int needed = 0;
    for (std::string line; std::getline(imports, line);) {
        const size_t name = line.find("DLL Name: ");
        if (name == std::string::npos) continue;
        ++needed;
        EXPECT_EQ(windowsOwn.count(line.substr(name + 10)), 1u) << line;
    }
    EXPECT_GT(needed, 0);

    Program program(folder.string());
    const Screenshot title = readPicture(source + "/images/titlescreen.png");
    EXPECT_TRUE(
        program.waitForScreen([&](const Screenshot& s) { return meanDifference(s, title) < 3; }));
    program.closeWindow();
    EXPECT_EQ(program.waitForExit(), 0);
    EXPECT_EQ(program.errors(), "");
}

// Through SDL's disk output, from the first sound on: the silence before it
// is the sound output's, not the music's.
TEST(Zip, PlaysTheMusicSampleForSampleAsTheLinuxProgram) {
    TempDir heard;
    const size_t second = 44100 * 4;
    const auto music = [&](const Launcher& launcher, const std::string& name) {
        Program program(source,
                        {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", heard.file(name)}},
                        launcher);
        std::string played;
        waitUntil([&] { return (played = contentsOf(heard.file(name))).size() > 3 * second; });
        played.erase(0, played.find_first_not_of('\0') / 4 * 4);
        return played.substr(0, 2 * second);
    };
    const std::string onLinux = music(linuxProgram(), "linux");
    const std::string onWindows = music(programUnderTest(), "windows");
    ASSERT_EQ(onLinux.size(), 2 * second);
    const auto differ =
        std::mismatch(onLinux.begin(), onLinux.end(), onWindows.begin(), onWindows.end());
    EXPECT_EQ(differ.first, onLinux.end()) << "from frame " << (differ.first - onLinux.begin()) / 4;
}
