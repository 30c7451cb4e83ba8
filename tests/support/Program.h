// Drives the real tumblewell binary for end-to-end tests: starts it on a
// private Xvfb in a chosen working folder, reads what it prints, moves the
// pointer, clicks and types with xdotool, and takes screenshots.
#pragma once
#include <functional>

#include "TempDir.h"
#include "TestSupport.h"

class Program {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    // Starts `binary` (by default the program) in `workDir` with sound on
    // SDL's dummy driver, unless `environment` says otherwise; a name with an
    // empty value is removed from the environment.
    explicit Program(const std::string& workDir, const Environment& environment = {},
                     const std::string& binary = TUMBLEWELL_BINARY);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    const std::string& window();  // its X id, found by title; empty if none came
    std::string output() const;   // standard output so far
    std::string errors() const;   // standard error so far
    bool running();
    int waitForExit();  // the exit status; -1 on a signal or after 20 s

    std::string xdotool(std::vector<std::string> arguments);  // what it prints
    void moveTo(int x, int y);
    void click(int x, int y, int button = 1);
    void key(const std::string& name) { xdotool({"key", name}); }
    // Returns once the program has handled all input sent before: it answers
    // a resize with one back to 640 x 480, which X delivers after that input.
    bool inputHandled();
    // Asks the window to close as a window manager's close button does.
    void closeWindow();

    Screenshot screenshot();
    // Whether a screenshot came that meets the condition in time; the last
    // one taken goes to `last` when given.
    bool waitForScreen(const std::function<bool(const Screenshot&)>& condition,
                       Screenshot* last = nullptr);

private:
    Xvfb server_;
    TempDir printed_;
    pid_t pid_ = -1;
    std::string window_;
    int status_ = -1;
    bool ended_ = false;
};
