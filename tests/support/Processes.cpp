// Starting children tied to this process's life, and a private Xvfb.
#include "Processes.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

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
