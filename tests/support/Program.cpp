// Driving the real program: started on its own Xvfb, watched and fed input.
#include "Program.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <regex>

Launcher linuxProgram() { return {{TUMBLEWELL_BINARY}, {}, ""}; }

Program::Program(const std::string& workDir, const Environment& environment,
                 const Launcher& launcher)
    : launcher_(launcher) {
    const int out = open(printed_.file("out").c_str(), O_WRONLY | O_CREAT, 0644);
    const int err = open(printed_.file("err").c_str(), O_WRONLY | O_CREAT, 0644);
    pid_ = startChild(launcher.command, out, err, [&] {
        if (chdir(workDir.c_str()) != 0) _exit(126);
        setenv("DISPLAY", server_.display().c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // A sanitized program keeps some memory of the GL driver, D-Bus and
        // XInput to its end: passed over by library name (lsan.supp).
        setenv("LSAN_OPTIONS", "suppressions=" TUMBLEWELL_LSAN_SUPPRESSIONS ":print_suppressions=0",
               1);
#ifdef TUMBLEWELL_GL_DRIVER
        setenv("LD_PRELOAD", TUMBLEWELL_GL_DRIVER, 1);
        setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
#endif
        for (const Environment& names : {launcher.environment, environment})
            for (const auto& [name, value] : names)
                value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
    });
    close(out);
    close(err);
}

Program::~Program() {
    if (running()) kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

// What the program printed on one of its streams, its lines ending in "\n",
// less the lines that match `noise`, a pattern, when given.
std::string Program::printed(const std::string& stream, const std::string& noise) const {
    std::string text = contentsOf(printed_.file(stream));
    if (launcher_.crlfLines) text = std::regex_replace(text, std::regex("\r\n"), "\n");
    return noise.empty() ? text : std::regex_replace(text, std::regex(noise + "\n"), "");
}

std::string Program::output() const { return printed("out", ""); }
std::string Program::errors() const { return printed("err", launcher_.noise); }

bool Program::running() {
    int status = 0;
    if (!ended_ && waitpid(pid_, &status, WNOHANG) == pid_) {
        ended_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return !ended_;
}

int Program::waitForExit() {
    waitUntil([&] { return !running(); });
    return status_;
}

bool Program::endsOn(int signal) {
    kill(pid_, signal);
    return waitUntil([&] { return !running(); });
}

const std::string& Program::window() {
    waitUntil([&] {
        if (window_.empty())
            window_ = xdotool({"search", "--name", "Tumblewell - Vellmark, Quillory"});
        return !window_.empty() || !running();
    });
    window_ = window_.substr(0, window_.find('\n'));
    return window_;
}

std::string Program::xdotool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "xdotool");
    return outputOf(arguments, server_.display());
}

void Program::moveTo(int x, int y) {
    // "--" lets a point left of or above the window through as one.
    xdotool({"mousemove", "--window", window(), "--", std::to_string(x), std::to_string(y)});
}

void Program::click(int x, int y, int button) {
    moveTo(x, y);  // a press acts where the pointer last moved
    xdotool({"click", std::to_string(button)});
}

bool Program::inputHandled() {
    xdotool({"windowsize", window(), "800", "600"});
    return waitUntil([&] {
        return xdotool({"getwindowgeometry", window()}).find("Geometry: 640x480") !=
               std::string::npos;
    });
}

int Program::closeWindow() {
    Display* display = XOpenDisplay(server_.display().c_str());
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(window());
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return waitForExit();
}

Screenshot Program::screenshot() {
    if (window().empty()) return {};  // import would wait for a click instead
    const std::string rgb = outputOf(
        {"/usr/bin/import", "-window", window(), "-depth", "8", "rgb:-"}, server_.display());
    if (rgb.size() != 640 * 480 * 3) return {};  // not yet, or no longer, 640 x 480
    return Screenshot{std::vector<uint8_t>(rgb.begin(), rgb.end())};
}

bool Program::shows(const std::string& picture) {
    const Screenshot expected = readPicture(TUMBLEWELL_SOURCE_DIR "/images/" + picture);
    return waitForScreen([&](const Screenshot& s) { return meanDifference(s, expected) < 3; });
}

bool Program::waitForScreen(const std::function<bool(const Screenshot&)>& condition,
                            Screenshot* last) {
    Screenshot shot;
    const bool met =
        waitUntil([&] { return !(shot = screenshot()).rgb.empty() && condition(shot); });
    if (last != nullptr) *last = shot;
    return met;
}
