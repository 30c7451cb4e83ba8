// Drives the real tumblewell binary for end-to-end tests: starts it on a
// private Xvfb in a chosen working folder, reads its output, moves the
// pointer, clicks and types with xdotool, and takes screenshots.
#pragma once
#include "Xvfb.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Polls until the condition holds or the deadline passes; true if it held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline);

// An RGB screenshot, rows top first.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    bool empty() const { return rgb.empty(); }
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    bool savePng(const std::string& path) const;
};

// Reads a picture file as RGB over a white background, resized to width x height.
Screenshot readPicture(const std::string& path, int width, int height);

// Mean absolute difference per channel, 0..255, of two equal-sized pictures.
double meanDifference(const Screenshot& a, const Screenshot& b);

class Program {
public:
    // Starts `binary` in `workDir` on the server's display, with extra
    // environment entries (a name with an empty value removes it).
    Program(const Xvfb& server, const std::string& binary, const std::string& workDir,
            const std::vector<std::pair<std::string, std::string>>& environment = {});
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();  // kills the program if it still runs

    // The window's X id, found by its title; empty if it did not appear in time.
    const std::string& window();

    // Output read so far (reads whatever is waiting first).
    const std::string& output();
    const std::string& errors();
    // Waits until standard output holds `lines` complete lines.
    bool waitForOutputLines(size_t lines, std::chrono::milliseconds deadline);

    bool running();
    // Waits for the process to end; its exit status, or -1 on timeout or a signal.
    int waitForExit(std::chrono::milliseconds deadline);
    // The signal that ended the process; 0 while it runs or if it exited.
    int endingSignal() const { return signal_; }
    pid_t pid() const { return pid_; }

    // Input, in window pixels; a point may lie outside the window.
    void moveTo(int x, int y);
    void press(int button);
    void release(int button);
    void click(int button);
    void key(const std::string& name);
    void keyDown(const std::string& name);
    void keyUp(const std::string& name);
    // Asks the window to close the way a window manager's close button does:
    // a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
    bool closeWindow();
    // Runs xdotool with these arguments on the program's display, keeping
    // what it prints in `printed` when given.
    bool xdotool(const std::vector<std::string>& arguments, std::string* printed = nullptr);

    Screenshot screenshot();
    // Waits until a screenshot satisfies the condition; returns the last one taken.
    Screenshot waitForScreen(const std::function<bool(const Screenshot&)>& condition,
                             std::chrono::milliseconds deadline);

private:
    void drain();

    std::string display_;
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
    std::string window_;
    int exitStatus_ = -1;
    bool exited_ = false;
    int signal_ = 0;
};

// Runs a command with arguments; true when it exits with status 0. Its
// standard output is appended to `output` when given.
bool runCommand(const std::vector<std::string>& command, std::string* output = nullptr,
                const std::vector<std::pair<std::string, std::string>>& environment = {});
