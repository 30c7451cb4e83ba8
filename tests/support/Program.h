// Drives the real tumblewell binary for end-to-end tests: starts it on a
// private Xvfb in a chosen working folder, reads what it prints, moves the
// pointer, clicks and types with xdotool, and takes screenshots.
#pragma once
#include <functional>

#include "TempDir.h"
#include "TestSupport.h"

// Names and values for a program's environment; an empty value removes the name.
using Environment = std::vector<std::pair<std::string, std::string>>;

// How a test starts the program: the command, run in the working folder,
// what the system under the program needs in its environment, what that
// system writes on stderr of its own (a pattern of whole lines), and whether
// text lines end in "\r\n" there, as on Windows.
struct Launcher {
    std::vector<std::string> command;
    Environment environment;
    std::string noise;
    bool crlfLines = false;
};

// The Linux program this build made.
Launcher linuxProgram();
// The program a suite tests: the Linux one, or the Windows one under Wine;
// each test program links the definition it needs.
const Launcher& programUnderTest();

class Program {
public:
    // Starts the program in `workDir` with sound on SDL's dummy driver,
    // unless `environment` says otherwise.
    explicit Program(const std::string& workDir, const Environment& environment = {},
                     const Launcher& launcher = programUnderTest());
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    const std::string& window();  // its X id, found by title; empty if none came
    // Standard output and standard error so far, lines ending in "\n"; the
    // system's own lines are left out of the errors.
    std::string output() const;
    std::string errors() const;
    bool running();
    int waitForExit();        // the exit status; -1 on a signal or after 20 s
    bool endsOn(int signal);  // sends it; whether the program then ended

    std::string xdotool(std::vector<std::string> arguments);  // what it prints
    void moveTo(int x, int y);
    void click(int x, int y, int button = 1);
    void key(const std::string& name) { xdotool({"key", name}); }
    // Returns once the program has handled all input sent before: it answers
    // a resize with one back to 640 x 480, which X delivers after that input.
    bool inputHandled();
    // Asks the window to close as a window manager's close button does, then
    // waits for the program to exit; returns its exit status.
    int closeWindow();

    Screenshot screenshot();
    // Whether a screenshot came that meets the condition in time; the last
    // one taken goes to `last` when given.
    bool waitForScreen(const std::function<bool(const Screenshot&)>& condition,
                       Screenshot* last = nullptr);
    // Whether the window came to show one of the program's pictures (a file
    // name in images/), stretched over it.
    bool shows(const std::string& picture);

private:
    std::string printed(const std::string& stream, const std::string& noise) const;

    Xvfb server_;
    TempDir printed_;
    Launcher launcher_;
    pid_t pid_ = -1;
    std::string window_;
    int status_ = -1;
    bool ended_ = false;
};
