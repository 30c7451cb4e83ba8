// The Debian package as a player gets it, as scripts/package.sh built it:
// unpacked in a folder of its own, it holds the program, its data byte for
// byte, a desktop entry and metainfo that their checkers pass, the icons and
// a manual page; lintian (which also runs man --warnings and checks the
// dependencies on libraries) has nothing to say; and its launcher starts the
// program from any working folder, which names the launcher when it needs a
// display.
#include "Program.h"

TEST(Package, HoldsTheProgramItsDataAndItsDesktopFilesAndStartsFromAnyFolder) {
    const std::string deb = TUMBLEWELL_PACKAGE, source = TUMBLEWELL_SOURCE_DIR;
    TempDir unpacked;
    ASSERT_TRUE(succeeds({"dpkg-deb", "-x", deb, unpacked.path()})) << deb;
    const std::string usr = unpacked.file("usr"), share = usr + "/share/";
    EXPECT_EQ(outputOf({"dpkg-deb", "-f", deb, "Package", "Section", "Priority"}),
              "Package: tumblewell\nSection: games\nPriority: optional\n");
    for (const std::string folder : {"/images", "/audio"})
        EXPECT_TRUE(succeeds({"diff", "-r", source + folder, share + "games/tumblewell" + folder}));
    // Each checker passes and prints nothing.
    EXPECT_EQ(outputOf({"sh", "-c", "lintian -I -E --pedantic \"$0\" || echo fails", deb}), "");
    EXPECT_EQ(outputOf({"sh", "-c", "desktop-file-validate \"$0\" || echo fails",
                        share + "applications/tumblewell.desktop"}),
              "");
    EXPECT_TRUE(succeeds({"appstreamcli", "validate", "--no-net", "--strict",
                          share + "metainfo/org.example.tumblewell.metainfo.xml"}));
    EXPECT_NE(outputOf({"man", "-l", share + "man/man6/tumblewell.6.gz"}).find("CONTROLS"),
              std::string::npos);
    // The icon at each size, and as SVG showing the same picture.
    const std::string icons = share + "icons/hicolor/", png = "/apps/tumblewell.png";
    for (const std::string px : {"48x48", "64x64", "128x128"})
        EXPECT_EQ(outputOf({"/usr/bin/convert", icons + px + png, "-format", "%wx%h", "info:"}),
                  px);
    const Screenshot scalable = readPicture(icons + "scalable/apps/tumblewell.svg");
    EXPECT_LT(meanDifference(scalable, readPicture(icons + "128x128" + png)), 6);

    const Launcher launcher{{usr + "/games/tumblewell"}, {}, ""};
    Program program(unpacked.path(), {}, launcher);  // no data there
    EXPECT_TRUE(program.shows("titlescreen.png"));
    EXPECT_EQ(program.closeWindow(), 0);
    EXPECT_EQ(program.errors(), "") << "nothing missed";
    Program withoutDisplay(unpacked.path(), {{"DISPLAY", ""}}, launcher);
    EXPECT_EQ(withoutDisplay.waitForExit(), 1);
    const std::string hint = "xvfb-run -s '-screen 0 1024x768x24' " + launcher.command[0] + "\n";
    EXPECT_NE(withoutDisplay.errors().find(hint), std::string::npos) << withoutDisplay.errors();
}
