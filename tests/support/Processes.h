// Child processes that end with the process that started them, and a private
// Xvfb among them. No GoogleTest here: the frame benchmark uses them too.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// Xvfb on a display number it picks itself (-displayfd), so that tests never
// collide on a display.
class Xvfb {
public:
    Xvfb();
    ~Xvfb();

    const std::string& display() const { return display_; }  // ":N"

private:
    pid_t pid_ = -1;
    std::string display_;
};

// Starts `argv` as a child that the kernel ends when this process ends, even
// when the test is killed; its output goes to the given descriptors (-1:
// /dev/null), and `prepare` runs in the child just before the program starts.
pid_t startChild(const std::vector<std::string>& argv, int out = -1, int err = -1,
                 const std::function<void()>& prepare = {});
