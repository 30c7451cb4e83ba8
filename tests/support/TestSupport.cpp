// Test support: child processes, a private Xvfb, files and pictures.
#include "TestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

Xvfb::Xvfb() {
    int ready[2];
    if (pipe(ready) != 0) throw std::runtime_error("pipe failed");
    pid_ = startChild({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0",
                       "1024x768x24", "-nolisten", "tcp", "-noreset"});
    close(ready[1]);
    // Xvfb writes its display number once it accepts clients.
    pollfd waitFor{ready[0], POLLIN, 0};
    char c;
    while (poll(&waitFor, 1, 20000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') display_ += c;
    close(ready[0]);
    if (display_.empty()) throw std::runtime_error("Xvfb did not start");
    display_ = ":" + display_;
}

Xvfb::~Xvfb() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

pid_t startChild(const std::vector<std::string>& argv, int out, int err,
                 const std::function<void()>& prepare) {
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(out >= 0 ? out : devNull, STDOUT_FILENO);
    dup2(err >= 0 ? err : devNull, STDERR_FILENO);
    if (prepare) prepare();
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
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
