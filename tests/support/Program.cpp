#include "Program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <X11/Xlib.h>

namespace {

constexpr const char* windowTitle = "Tumblewell - Vellmark, Quillory";

std::vector<char*> argumentVector(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

void applyEnvironment(const std::vector<std::pair<std::string, std::string>>& environment) {
    for (const auto& [name, value] : environment) {
        if (value.empty())
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.c_str(), 1);
    }
}

// Adds to a colon-separated variable, keeping what is already set.
void appendOption(const char* variable, const std::string& option) {
    const char* before = std::getenv(variable);
    const std::string value =
        before != nullptr && *before != '\0' ? std::string(before) + ":" + option : option;
    setenv(variable, value.c_str(), 1);
}

// A sanitized program under test keeps some of the GL driver's and the sound
// libraries' memory until exit, which LeakSanitizer reports there; lsan.supp
// passes over allocations made inside those libraries only, by library name.
// The toolkit unloads the driver when it closes the display, before the leak
// check, so the driver is preloaded to stay mapped and keep its name; the
// sanitizer runtime's check that it is loaded first is switched off for that.
void addSanitizerOptions() {
    appendOption("LSAN_OPTIONS", std::string("suppressions=") + TUMBLEWELL_LSAN_SUPPRESSIONS +
                                     ":print_suppressions=0");
#ifdef TUMBLEWELL_GL_DRIVER
    appendOption("LD_PRELOAD", TUMBLEWELL_GL_DRIVER);
    appendOption("ASAN_OPTIONS", "verify_asan_link_order=0");
#endif
}

// Parses a binary PPM (P6, maxval 255).
Screenshot parsePpm(const std::string& data) {
    Screenshot shot;
    std::istringstream in(data);
    std::string magic;
    int maxValue = 0;
    in >> magic >> shot.width >> shot.height >> maxValue;
    if (magic != "P6" || maxValue != 255 || shot.width <= 0 || shot.height <= 0)
        return Screenshot{};
    in.get();
    size_t bytes = static_cast<size_t>(shot.width) * shot.height * 3;
    size_t offset = static_cast<size_t>(in.tellg());
    if (data.size() < offset + bytes) return Screenshot{};
    shot.rgb.assign(data.begin() + offset, data.begin() + offset + bytes);
    return shot;
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool runCommand(const std::vector<std::string>& command, std::string* output,
                const std::vector<std::pair<std::string, std::string>>& environment) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], STDOUT_FILENO);
        int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) dup2(devNull, STDERR_FILENO);
        applyEnvironment(environment);
        std::vector<char*> argv = argumentVector(command);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    char buffer[65536];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0 && output != nullptr) output->append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Screenshot::savePng(const std::string& path) const {
    std::string ppm = path + ".ppm";
    {
        std::ofstream out(ppm, std::ios::binary);
        out << "P6\n" << width << " " << height << "\n255\n";
        out.write(reinterpret_cast<const char*>(rgb.data()),
                  static_cast<std::streamsize>(rgb.size()));
    }
    bool saved = runCommand({"/usr/bin/convert", ppm, path});
    std::remove(ppm.c_str());
    return saved;
}

Screenshot readPicture(const std::string& path, int width, int height) {
    std::string ppm;
    std::string size = std::to_string(width) + "x" + std::to_string(height) + "!";
    if (!runCommand({"/usr/bin/convert", path, "-background", "white", "-alpha", "remove", "-alpha",
                     "off", "-resize", size, "-depth", "8", "ppm:-"},
                    &ppm))
        return Screenshot{};
    return parsePpm(ppm);
}

double meanDifference(const Screenshot& a, const Screenshot& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 255.0;
    double total = 0.0;
    for (size_t i = 0; i < a.rgb.size(); ++i) total += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return total / static_cast<double>(a.rgb.size());
}

Program::Program(const Xvfb& server, const std::string& binary, const std::string& workDir,
                 const std::vector<std::pair<std::string, std::string>>& environment)
    : display_(server.display()) {
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(errPipe[0]);
        if (chdir(workDir.c_str()) != 0) _exit(126);
        setenv("DISPLAY", display_.c_str(), 1);
        addSanitizerOptions();
        applyEnvironment(environment);
        execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    outFd_ = outPipe[0];
    errFd_ = errPipe[0];
    fcntl(outFd_, F_SETFL, O_NONBLOCK);
    fcntl(errFd_, F_SETFL, O_NONBLOCK);
}

Program::~Program() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (outFd_ >= 0) close(outFd_);
    if (errFd_ >= 0) close(errFd_);
}

void Program::drain() {
    char buffer[4096];
    ssize_t n;
    while (outFd_ >= 0 && (n = read(outFd_, buffer, sizeof buffer)) > 0)
        out_.append(buffer, static_cast<size_t>(n));
    while (errFd_ >= 0 && (n = read(errFd_, buffer, sizeof buffer)) > 0)
        err_.append(buffer, static_cast<size_t>(n));
}

const std::string& Program::output() {
    drain();
    return out_;
}

const std::string& Program::errors() {
    drain();
    return err_;
}

bool Program::waitForOutputLines(size_t lines, std::chrono::milliseconds deadline) {
    return waitUntil(
        [&] {
            const std::string& text = output();
            return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= lines;
        },
        deadline);
}

bool Program::running() {
    if (pid_ <= 0 || exited_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        signal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        return false;
    }
    return true;
}

int Program::waitForExit(std::chrono::milliseconds deadline) {
    waitUntil([&] { return !running(); }, deadline);
    drain();
    return exited_ ? exitStatus_ : -1;
}

const std::string& Program::window() {
    if (window_.empty()) {
        waitUntil(
            [&] {
                std::string found;
                xdotool({"search", "--name", windowTitle}, &found);
                window_ = found.substr(0, found.find('\n'));
                return !window_.empty() || !running();
            },
            std::chrono::seconds(20));
    }
    return window_;
}

bool Program::xdotool(const std::vector<std::string>& arguments, std::string* printed) {
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runCommand(command, printed, {{"DISPLAY", display_}});
}

void Program::moveTo(int x, int y) {
    // No --sync: it waits on a move to where the pointer already is. The X
    // server handles the faked move before any input faked after it anyway.
    // "--" ends the options, so that a point left of or above the window is not one.
    xdotool({"mousemove", "--window", window(), "--", std::to_string(x), std::to_string(y)});
}

void Program::press(int button) { xdotool({"mousedown", std::to_string(button)}); }

void Program::release(int button) { xdotool({"mouseup", std::to_string(button)}); }

void Program::click(int button) { xdotool({"click", std::to_string(button)}); }

void Program::key(const std::string& name) { xdotool({"key", name}); }

void Program::keyDown(const std::string& name) { xdotool({"keydown", name}); }

void Program::keyUp(const std::string& name) { xdotool({"keyup", name}); }

bool Program::closeWindow() {
    if (window().empty()) return false;
    ::Display* connection = XOpenDisplay(display_.c_str());
    if (connection == nullptr) return false;
    const ::Window target = std::stoul(window());
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(connection, target, False, NoEventMask, &event) != 0;
    XSync(connection, False);
    XCloseDisplay(connection);
    return sent;
}

Screenshot Program::screenshot() {
    std::string ppm;
    if (window().empty()) return Screenshot{};
    runCommand(
        {"/usr/bin/import", "-display", display_, "-window", window(), "-depth", "8", "ppm:-"},
        &ppm);
    return parsePpm(ppm);
}

Screenshot Program::waitForScreen(const std::function<bool(const Screenshot&)>& condition,
                                  std::chrono::milliseconds deadline) {
    Screenshot last;
    waitUntil(
        [&] {
            last = screenshot();
            return !last.empty() && condition(last);
        },
        deadline);
    return last;
}
