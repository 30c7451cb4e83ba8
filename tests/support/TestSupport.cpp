// Polling, commands' output and status, files' bytes, and pictures to compare.
#include "TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::string outputOf(const std::vector<std::string>& command, const std::string& display,
                     int* status) {
    int fds[2];
    if (pipe(fds) != 0) return "";
    const pid_t pid = startChild(command, fds[1], -1, [&] {
        if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    });
    close(fds[1]);
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
    close(fds[0]);
    int ended = 0;
    const bool exited = waitpid(pid, &ended, 0) == pid && WIFEXITED(ended);
    if (status != nullptr) *status = exited ? WEXITSTATUS(ended) : -1;
    return text;
}

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Screenshot readPicture(const std::string& path) {
    const std::string rgb = outputOf({"/usr/bin/convert", path, "-background", "white", "-alpha",
                                      "remove", "-resize", "640x480!", "-depth", "8", "rgb:-"});
    return Screenshot{std::vector<uint8_t>(rgb.begin(), rgb.end())};
}

double meanDifference(const Screenshot& a, const Screenshot& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 255.0;
    double total = 0.0;
    for (size_t i = 0; i < a.rgb.size(); ++i) total += std::abs(a.rgb[i] - b.rgb[i]);
    return total / double(a.rgb.size());
}
