// With X11, a window needs a display; without one, a virtual one serves. The
// hint names the command as it was typed (build/release/tumblewell, or the
// installed launcher), so that it can be run as it stands.
#include "WindowHint.h"

#include <cerrno>
#include <string>

namespace {

// The word as the shell reads it back: quoted when it holds anything else
// than letters, digits and the usual path characters.
std::string shellWord(const std::string& word) {
    if (word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                               "/._+-") == std::string::npos)
        return word;
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

const char* windowFailureHint() {
    static const std::string hint =
        "; with no display, run it under a virtual one: "
        "xvfb-run -s '-screen 0 1024x768x24' " +
        shellWord(program_invocation_name);
    return hint.c_str();
}
