// What only the Windows build has to show, from its zip: a program with a
// window of its own, opening no console, that needs no library beside
// Windows' own, with its data, the licence and how to play;
// started in its own folder, as Explorer starts it, with no sound device, it
// shows its title, says once that it runs silently and closes cleanly; and it
// plays the music sample for sample as the Linux program does.
#include <filesystem>
#include <regex>

#include "Program.h"

const std::string source = TUMBLEWELL_SOURCE_DIR;

TEST(Zip, HoldsAProgramNeedingOnlyWindowsItsDataAndHowToPlay) {
    const std::filesystem::path exe = programUnderTest().command.back(), folder = exe.parent_path();
    for (const std::string data : {"/images", "/audio"})
        EXPECT_TRUE(succeeds({"diff", "-r", source + data, folder.string() + data}));
    EXPECT_NE(contentsOf(folder / "LICENSE.txt").find("MIT License\r\n"), std::string::npos);
    EXPECT_NE(contentsOf(folder / "README.txt").find("tumblewell.exe > walls.txt"),
              std::string::npos);
    const std::string imports = outputOf({"x86_64-w64-mingw32-objdump", "-p", exe.string()});
    const std::regex windowsOwn(
        "(ADVAPI32|GDI32|GLU32|IMM32|KERNEL32|msvcrt|ole32|OLEAUT32|"
        "OPENGL32|SETUPAPI|SHELL32|SHLWAPI|USER32|VERSION|WINMM)\\.dll");
    const std::regex imported("DLL Name: (.*)");
    for (std::sregex_iterator dll(imports.begin(), imports.end(), imported), end; dll != end; ++dll)
        EXPECT_TRUE(std::regex_match((*dll)[1].str(), windowsOwn)) << (*dll)[1];
    EXPECT_NE(imports.find("DLL Name: KERNEL32.dll"), std::string::npos);
    EXPECT_NE(imports.find("(Windows GUI)"), std::string::npos) << "it would open a console";

    Program program(folder.string(), {{"SDL_AUDIODRIVER", "nosuchdriver"}});
    EXPECT_TRUE(program.shows("titlescreen.png"));
    EXPECT_EQ(program.closeWindow(), 0);
    EXPECT_TRUE(std::regex_match(program.errors(), std::regex("tumblewell: no sound device.*\n")))
        << program.errors();
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
        return played.substr(played.find_first_not_of('\0') / 4 * 4, 2 * second);
    };
    const std::string onLinux = music(linuxProgram(), "linux");
    const std::string onWindows = music(programUnderTest(), "windows");
    ASSERT_EQ(onLinux.size(), 2 * second);
    const auto differ =
        std::mismatch(onLinux.begin(), onLinux.end(), onWindows.begin(), onWindows.end());
    EXPECT_EQ(differ.first, onLinux.end()) << "from frame " << (differ.first - onLinux.begin()) / 4;
}
