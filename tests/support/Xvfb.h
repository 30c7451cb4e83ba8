// A private X server for one test or one test program: Xvfb on a display
// number it picks itself (-displayfd), so tests never collide on a display.
#pragma once
#include <sys/types.h>
#include <string>

class Xvfb {
public:
    // Starts the server and waits until it accepts clients.
    explicit Xvfb(const std::string& screen = "1024x768x24");
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    ~Xvfb();

    const std::string& display() const { return display_; }  // ":N"

private:
    pid_t pid_ = -1;
    std::string display_;
};
