// Long play: the real program under Xvfb for minutes. 10 attractors, 40
// walls and 200 balls are made by real input, then a stream of random
// clicks, drags, wheel turns and keys keeps coming while the test samples:
// the process lives, its resident memory stays flat after warm-up, frames
// keep coming with no input, an attractor dragged at each sample shows at
// once where it went (and every other one where it was put), and the wall
// trace is exactly the walls finished, each line well-formed.
//
// Balls are not used to tell that frames come: walls and field edges take
// speed out of them and they do not meet one another, so after a while they
// gather in a few clumps that may rest against a wall or under a token.
//
// The input is random from a fixed seed (TUMBLEWELL_LONG_PLAY_SEED picks
// another); every failure names the seed and the last actions sent.
#include "E2e.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <regex>
#include <sstream>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::chrono::seconds playTime{180};  // random input after the scene is built
constexpr std::chrono::seconds warmUp{30};     // memory is judged from here on
constexpr std::chrono::seconds sampleEvery{5};
constexpr unsigned defaultSeed = 61206;

constexpr int attractorsAsked = 10;
constexpr int wallsAsked = 40;
constexpr int ballsAsked = 200;
// How far the random play may grow the scene beyond what was asked.
constexpr int extraAttractors = 3;
constexpr int extraWalls = 10;
constexpr int extraBalls = 20;

// Resident memory after warm-up may wander by less than this. The program
// allocates nothing per frame and the records the play adds are a few dozen
// bytes each. Frames run at 100 to 170 a second here, sanitized or not (the
// X server sets the pace), so a leak of 1 KB a frame would grow memory by 15
// to 25 MB over the 150 s judged; in fact such a leak, added on purpose,
// grew it by 285 MB, as it also spoils the reuse of the driver's freed
// buffers. What moves it while nothing leaks: the C library's heap and the
// graphics driver's own allocations (steps of up to 3.6 MB; at most 5.5 MB
// in all seen, 2 MB sanitized).
constexpr long rssBoundKb = 12 * 1024;

// Attractor tokens are 12.8 pixels in radius. Centres are kept this far
// apart and from the spot where 'a' puts a new one, so that a press on a
// centre grabs that attractor and no other.
constexpr int attractorSpacing = 32;
// A press this far from every centre misses every attractor, so starts a wall.
constexpr int attractorClearance = 20;
// A wall's second end lies within this many pixels of its first, in x and y.
constexpr int wallReach = 120;

struct Pixel {
    int x;
    int y;
};

constexpr Pixel spawnPoint{320, 288};  // world (0, 30), where 'a' puts an attractor

double distance(Pixel a, Pixel b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Where the program holds a pointer point: clamped to the window's edges,
// both ends inclusive.
Pixel clampedToWindow(Pixel p) { return {std::clamp(p.x, 0, 640), std::clamp(p.y, 0, 480)}; }

// The nearest pixel the pointer can press on inside the window.
Pixel insideWindow(Pixel p) { return {std::clamp(p.x, 0, 639), std::clamp(p.y, 0, 479)}; }

std::string describe(Pixel p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

// VmRSS of a process in kB; -1 if it cannot be read.
long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// Write system calls a process has made; -1 if unreadable. Each frame sends
// its picture to the X server in a write or two and handling input sends
// nothing, so with no input coming in, writes go on only while frames do.
long long writeCalls(pid_t pid) {
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string line;
    while (std::getline(io, line))
        if (line.rfind("syscw:", 0) == 0) return std::stoll(line.substr(6));
    return -1;
}

// The red token covers most of a 9 x 9 box (clipped to the window) around its centre.
bool showsAttractorAt(const Screenshot& shot, Pixel centre) {
    int left = std::max(centre.x - 4, 0), right = std::min(centre.x + 4, shot.width - 1);
    int top = std::max(centre.y - 4, 0), bottom = std::min(centre.y + 4, shot.height - 1);
    int area = (right - left + 1) * (bottom - top + 1);
    return area > 0 &&
           countMatching(shot, isAttractorColour, left, top, right, bottom) * 10 >= area * 6;
}

// Every line "(x, y) (x, y)" in the stream's default float format, with both
// ends on the field; empty when the whole text is so, else the first bad line.
std::string malformedTraceLine(const std::string& text) {
    const std::string number = "(-?[0-9]+(?:\\.[0-9]+)?(?:e[-+][0-9]+)?)";
    const std::regex line("\\(" + number + ", " + number + "\\) \\(" + number + ", " + number +
                          "\\)");
    std::istringstream lines(text);
    std::string current;
    while (std::getline(lines, current)) {
        std::smatch parts;
        if (!std::regex_match(current, parts, line)) return current;
        for (int end = 0; end < 2; ++end) {
            double x = std::stod(parts[1 + 2 * end]);
            double y = std::stod(parts[2 + 2 * end]);
            if (x < -50.001 || x > 50.001 || y < -0.001 || y > 75.001)
                return current + " (off the field)";
        }
    }
    if (!text.empty() && text.back() != '\n') return current + " (unfinished)";
    return "";
}

// What the program holds after the input sent so far; the player keeps it in
// step with every event it sends.
struct Expected {
    std::vector<Pixel> attractors;  // centres, where the pointer left them
    int balls = 0;
    int walls = 0;
    bool wallPending = false;
    Pixel wallStart{};
    std::string trace;
};

// Sends real input through xdotool and keeps the expectation in step.
class Player {
public:
    Player(Program& program, unsigned seed) : program_(program), seed_(seed), rng_(seed) {}

    const Expected& expected() const { return expected_; }

    // The seed and the latest actions, for failure messages.
    std::string context() const {
        std::string text = "seed " + std::to_string(seed_) + "; latest actions:";
        for (const std::string& action : recent_) text += "\n  " + action;
        return text;
    }

    // 'a' puts the attractor on the spawn point; it is dragged off at once,
    // since the next one appears there too. Keys go to the window under the
    // pointer, so the pointer is moved there first.
    void addAttractor() {
        Pixel to = freeSpot(-1);
        log("add attractor, drag it to " + describe(to));
        program_.moveTo(spawnPoint.x, spawnPoint.y);
        program_.key("a");
        program_.press(1);
        program_.moveTo(to.x, to.y);
        program_.release(1);
        expected_.attractors.push_back(to);
    }

    // Two left clicks, both off every attractor.
    void addWall() {
        for (int click = 0; click < 2; ++click) {
            wallPress(true);
            program_.release(1);
        }
    }

    void addBalls(int count) {
        log("add " + std::to_string(count) + " balls");
        Pixel at = randomInside();
        program_.moveTo(at.x, at.y);
        for (int sent = 0; sent < count;) {
            int batch = std::min(20, count - sent);
            std::vector<std::string> arguments{"key", "--delay", "20"};
            arguments.insert(arguments.end(), static_cast<size_t>(batch), "m");
            program_.xdotool(arguments);
            sent += batch;
        }
        expected_.balls += count;
    }

    void finishPendingWall() {
        if (expected_.wallPending) wallClick();
    }

    // Finishes a pending wall, then drags an attractor well away from where
    // it was; returns that place.
    Pixel moveAnAttractor() {
        finishPendingWall();
        int index = uniform(0, int(expected_.attractors.size()) - 1);
        Pixel from = expected_.attractors[index];
        Pixel to = freeSpot(index);
        while (distance(to, from) < attractorSpacing) to = freeSpot(index);
        log("sample: drag the attractor at " + describe(from) + " to " + describe(to));
        Pixel at = insideWindow(from);
        program_.moveTo(at.x, at.y);
        program_.press(1);
        program_.moveTo(to.x, to.y);
        program_.release(1);
        expected_.attractors[index] = to;
        return from;
    }

    void randomAction() {
        const int weights[] = {20, 12, 4, 4, 8, 8, 6, 10, 2, 1, 1};
        int pick = std::discrete_distribution<int>(std::begin(weights), std::end(weights))(rng_);
        switch (pick) {
        case 0:
            hover();
            break;
        case 1:
            wallClick();
            break;
        case 2:
            wallDrag();
            break;
        case 3:
            clickOnAttractor();
            break;
        case 4:
            dragAttractor();
            break;
        case 5:
            otherButton();
            break;
        case 6:
            wheel();
            break;
        case 7:
            ignoredKey();
            break;
        case 8:
            heldKey();
            break;
        case 9:
            oneMoreBall();
            break;
        default:
            oneMoreAttractor();
            break;
        }
    }

private:
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool chance(double probability) { return std::bernoulli_distribution(probability)(rng_); }

    Pixel randomInside() { return {uniform(0, 639), uniform(0, 479)}; }

    // Anywhere the pointer can go on the screen around the window, not in it.
    Pixel randomOutside() {
        for (;;) {
            Pixel p{uniform(-150, 790), uniform(-100, 580)};
            if (p.x < 0 || p.x > 639 || p.y < 0 || p.y > 479) return p;
        }
    }

    Pixel randomAnywhere() { return chance(0.8) ? randomInside() : randomOutside(); }

    bool clearOfAttractors(Pixel p, double clearance, int except) const {
        for (size_t i = 0; i < expected_.attractors.size(); ++i)
            if (static_cast<int>(i) != except && distance(p, expected_.attractors[i]) < clearance)
                return false;
        return true;
    }

    // A place for attractor `except` (or a new one, -1), kept apart from the others.
    Pixel freeSpot(int except) {
        for (;;) {
            Pixel p{uniform(16, 623), uniform(16, 463)};
            if (distance(p, spawnPoint) >= attractorSpacing &&
                clearOfAttractors(p, attractorSpacing, except))
                return p;
        }
    }

    // A wall end off every attractor; a second end within reach of the
    // first, so that walls leave room between them.
    Pixel wallPoint() {
        for (;;) {
            Pixel p = randomInside();
            if (clearOfAttractors(p, attractorClearance, -1)) return p;
        }
    }

    Pixel wallEnd(Pixel start, bool offAttractors) {
        for (;;) {
            Pixel p = insideWindow({start.x + uniform(-wallReach, wallReach),
                                    start.y + uniform(-wallReach, wallReach)});
            if (!offAttractors || clearOfAttractors(p, attractorClearance, -1)) return p;
        }
    }

    bool mayStartWall() const { return expected_.walls < wallsAsked + extraWalls; }

    void log(const std::string& action) {
        recent_.push_back(action);
        if (recent_.size() > 16) recent_.pop_front();
    }

    // A left press with no wall pending starts one, off every attractor; with
    // one pending it finishes it wherever it lands, on an attractor too
    // unless `offAttractors`.
    void wallPress(bool offAttractors) {
        Pixel at;
        if (expected_.wallPending) {
            bool onAttractor = !offAttractors && !expected_.attractors.empty() && chance(0.2);
            at = onAttractor
                     ? insideWindow(
                           expected_.attractors[uniform(0, int(expected_.attractors.size()) - 1)])
                     : wallEnd(expected_.wallStart, offAttractors);
            log("left press at " + describe(at) + ", finishing the wall");
        } else {
            at = wallPoint();
            log("left press at " + describe(at) + ", starting a wall");
        }
        program_.moveTo(at.x, at.y);
        program_.press(1);
        if (expected_.wallPending) {
            expected_.trace += traceLine(worldAt(expected_.wallStart.x, expected_.wallStart.y),
                                         worldAt(at.x, at.y));
            ++expected_.walls;
            expected_.wallPending = false;
        } else {
            expected_.wallStart = at;
            expected_.wallPending = true;
        }
    }

    void hover() {
        Pixel to = randomAnywhere();
        log("hover to " + describe(to));
        program_.moveTo(to.x, to.y);
    }

    void wallClick() {
        if (!expected_.wallPending && !mayStartWall()) return hover();
        wallPress(false);
        program_.release(1);
    }

    // Press, move (maybe out of the window), release: starts a wall that stays
    // pending, or finishes the pending one at the press.
    void wallDrag() {
        if (!expected_.wallPending && !mayStartWall()) return hover();
        wallPress(false);
        for (int moves = uniform(1, 3); moves > 0; --moves) {
            Pixel to = randomAnywhere();
            log("  drag to " + describe(to));
            program_.moveTo(to.x, to.y);
        }
        program_.release(1);
    }

    // A click on an attractor grabs and lets go of it: it stays put, no wall.
    void clickOnAttractor() {
        if (expected_.wallPending || expected_.attractors.empty()) return wallClick();
        Pixel at =
            insideWindow(expected_.attractors[uniform(0, int(expected_.attractors.size()) - 1)]);
        log("click on the attractor at " + describe(at));
        program_.moveTo(at.x, at.y);
        program_.click(1);
    }

    // A place for a dragged attractor: often past the window's edge, where
    // the program holds it on the edge.
    Pixel dragTarget(int index) {
        if (chance(0.3)) {
            for (int tries = 0; tries < 20; ++tries) {
                Pixel p = randomOutside();
                Pixel held = clampedToWindow(p);
                if (distance(held, spawnPoint) >= attractorSpacing &&
                    clearOfAttractors(held, attractorSpacing, index))
                    return p;
            }
        }
        return freeSpot(index);
    }

    // Drags an attractor through a few points; the drag ends at a left
    // release, or earlier at a middle or right release, which any button's
    // release does.
    void dragAttractor() {
        if (expected_.wallPending || expected_.attractors.empty()) return wallClick();
        int index = uniform(0, int(expected_.attractors.size()) - 1);
        Pixel from = insideWindow(expected_.attractors[index]);
        log("drag the attractor at " + describe(from));
        program_.moveTo(from.x, from.y);
        program_.press(1);
        for (int moves = uniform(0, 2); moves > 0; --moves) {
            Pixel via = randomAnywhere();
            log("  via " + describe(via));
            program_.moveTo(via.x, via.y);
        }
        Pixel to = dragTarget(index);
        log("  to " + describe(to));
        program_.moveTo(to.x, to.y);
        if (chance(0.25)) {
            int other = chance(0.5) ? 2 : 3;
            Pixel after = randomAnywhere();
            log("  press and release button " + std::to_string(other) + ", move on to " +
                describe(after));
            program_.press(other);
            program_.release(other);
            program_.moveTo(after.x, after.y);
        }
        program_.release(1);
        expected_.attractors[index] = clampedToWindow(to);
    }

    // Middle and right buttons draw nothing: a click or a drag anywhere.
    void otherButton() {
        int button = chance(0.5) ? 2 : 3;
        Pixel at = randomAnywhere();
        program_.moveTo(at.x, at.y);
        if (chance(0.5)) {
            log("click button " + std::to_string(button) + " at " + describe(at));
            program_.click(button);
            return;
        }
        Pixel to = randomAnywhere();
        log("drag button " + std::to_string(button) + " from " + describe(at) + " to " +
            describe(to));
        program_.press(button);
        program_.moveTo(to.x, to.y);
        program_.release(button);
    }

    // Wheel turns, up, down and sideways (X buttons 4 to 7).
    void wheel() {
        Pixel at = randomInside();
        std::string button = std::to_string(uniform(4, 7));
        std::string turns = std::to_string(uniform(1, 6));
        log("wheel button " + button + " x" + turns + " at " + describe(at));
        program_.moveTo(at.x, at.y);
        program_.xdotool({"click", "--repeat", turns, "--delay", "5", button});
    }

    // Keys that do nothing: letters, shifted 'M' and 'A', controls and
    // special keys; typed wherever the pointer is. No lock keys: a Caps Lock
    // left on would turn later 'm' and 'a' into keys that add nothing.
    std::string randomIgnoredKey() {
        static const char* const keys[] = {
            "b",         "q",       "x",       "z",      "0",         "9",      "M",
            "A",         "shift+m", "shift+a", "space",  "Return",    "Escape", "Tab",
            "BackSpace", "Delete",  "ctrl+c",  "ctrl+q", "ctrl+w",    "alt+F4", "F1",
            "F10",       "Up",      "Left",    "Home",   "Page_Down", "KP_Add", "Shift_L",
            "Control_L", "Insert",  "minus",   "plus"};
        return keys[uniform(0, int(std::size(keys)) - 1)];
    }

    void ignoredKey() {
        std::string name = randomIgnoredKey();
        log("key " + name);
        program_.key(name);
    }

    // A key held down over some pointer movement: repeats are ignored.
    void heldKey() {
        std::string name = randomIgnoredKey();
        Pixel at = randomInside();
        log("hold key " + name + " from " + describe(at));
        program_.moveTo(at.x, at.y);
        program_.keyDown(name);
        for (int moves = uniform(1, 3); moves > 0; --moves) {
            Pixel to = randomInside();
            program_.moveTo(to.x, to.y);
        }
        program_.keyUp(name);
    }

    void oneMoreBall() {
        if (expected_.balls >= ballsAsked + extraBalls) return ignoredKey();
        addBalls(1);
    }

    void oneMoreAttractor() {
        if (expected_.wallPending ||
            int(expected_.attractors.size()) >= attractorsAsked + extraAttractors)
            return ignoredKey();
        addAttractor();
    }

    Program& program_;
    unsigned seed_;
    std::mt19937 rng_;
    Expected expected_;
    std::deque<std::string> recent_;
};

// Under AddressSanitizer, memory the graphics driver frees each frame waits
// in a quarantine of 256 MB before reuse; it fills at the pace of the frames,
// which looked like growth for the first 100 s at the sanitized frame rate.
// A quarantine of 16 MB fills within the first seconds. The program frees
// none of its own records, so the smaller one costs it no checking. Set here
// for the program to inherit; the options already set are kept.
void useSmallQuarantine() {
    const char* before = std::getenv("ASAN_OPTIONS");
    std::string options = before != nullptr && *before != '\0' ? std::string(before) + ":" : "";
    setenv("ASAN_OPTIONS", (options + "quarantine_size_mb=16").c_str(), 1);
}

unsigned chosenSeed() {
    const char* text = std::getenv("TUMBLEWELL_LONG_PLAY_SEED");
    return text != nullptr ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : defaultSeed;
}

// Empty when every trace line is well-formed and the trace is exactly the
// walls finished so far.
std::string traceProblem(Program& program, const Expected& expected) {
    waitUntil([&] { return program.output() == expected.trace; }, 10s);
    const std::string& output = program.output();
    std::string bad = malformedTraceLine(output);
    if (!bad.empty()) return "malformed wall trace line: " + bad;
    if (output == expected.trace) return "";
    size_t lines = static_cast<size_t>(std::count(output.begin(), output.end(), '\n'));
    return "wall trace has " + std::to_string(lines) + " lines, " + std::to_string(expected.walls) +
           " walls were finished\n--- trace:\n" + output + "--- expected:\n" + expected.trace;
}

// Empty when every attractor shows where it was put and none at `vacated`.
std::string attractorProblem(Program& program, const Expected& expected, Pixel vacated,
                             Screenshot* shot) {
    auto shown = [&](const Screenshot& s) {
        for (Pixel centre : expected.attractors)
            if (!showsAttractorAt(s, centre)) return false;
        return !showsAttractorAt(s, vacated);
    };
    *shot = program.waitForScreen(shown, 10s);
    if (shot->empty()) return "no screenshot";
    for (Pixel centre : expected.attractors)
        if (!showsAttractorAt(*shot, centre)) return "no attractor shows at " + describe(centre);
    if (showsAttractorAt(*shot, vacated)) return "an attractor still shows at " + describe(vacated);
    return "";
}

// Empty when frames keep coming with no input: at least 30 more writes to
// the X server within 10 s.
std::string frameProblem(Program& program) {
    const long long before = writeCalls(program.pid());
    if (before < 0) return "cannot read the program's write count";
    if (waitUntil([&] { return writeCalls(program.pid()) - before >= 30; }, 10s)) return "";
    return "frames stopped: " + std::to_string(writeCalls(program.pid()) - before) +
           " writes in 10 s";
}

struct Sample {
    double seconds;    // since the random play began
    long residentKb;   // VmRSS
    long long writes;  // write calls so far
};

Sample takeSample(Program& program, Clock::time_point start) {
    return {std::chrono::duration<double>(Clock::now() - start).count(), residentKb(program.pid()),
            writeCalls(program.pid())};
}

}  // namespace

TEST(LongPlay, LivesDrawsAndKeepsItsMemoryFlatUnderRandomInput) {
    const unsigned seed = chosenSeed();
    std::cout << "long play seed " << seed << " (TUMBLEWELL_LONG_PLAY_SEED)" << std::endl;
    useSmallQuarantine();
    Session session;
    Program& program = session.program;
    ASSERT_TRUE(enterPlaying(program));
    Player player(program, seed);

    for (int i = 0; i < attractorsAsked; ++i) player.addAttractor();
    for (int i = 0; i < wallsAsked; ++i) player.addWall();
    player.addBalls(ballsAsked);

    ASSERT_TRUE(program.waitForOutputLines(wallsAsked, 20s)) << player.context() << "\n"
                                                             << program.output();
    std::string failure = traceProblem(program, player.expected());
    ASSERT_EQ(failure, "") << player.context();
    Screenshot shot;
    failure = attractorProblem(program, player.expected(), spawnPoint, &shot);
    shot.savePng("/tmp/tumblewell-long-play-built.png");
    ASSERT_EQ(failure, "") << player.context();
    // The balls are falling in: they show.
    EXPECT_GT(countMatching(shot, isBallColour, 0, 0, 639, 479), 500);

    // Each sample checks that the program lives, that frames keep coming
    // with no input, that the trace is exact, and that an attractor dragged
    // now shows at once where it went: the screen follows the input.
    const Clock::time_point start = Clock::now();
    std::vector<Sample> samples{takeSample(program, start)};
    std::cout << "built: VmRSS " << samples.back().residentKb << " kB" << std::endl;
    Clock::time_point nextSample = start + sampleEvery;
    auto check = [&](const char* when) {
        std::cout << when << ": " << samples.back().seconds << " s, VmRSS "
                  << samples.back().residentKb << " kB";
        if (samples.size() > 1) {
            const Sample& previous = samples[samples.size() - 2];
            std::cout << ", "
                      << std::lround((samples.back().writes - previous.writes) /
                                     (samples.back().seconds - previous.seconds))
                      << " writes/s to the X server since the last sample";
        }
        std::cout << std::endl;
        if (!program.running()) return "the program ended; it says: " + program.errors();
        std::string problem = frameProblem(program);
        if (problem.empty()) problem = traceProblem(program, player.expected());
        if (!problem.empty()) return problem;
        const Pixel vacated = player.moveAnAttractor();
        problem = traceProblem(program, player.expected());
        if (problem.empty()) problem = attractorProblem(program, player.expected(), vacated, &shot);
        if (!problem.empty()) shot.savePng("/tmp/tumblewell-long-play-failed.png");
        return problem;
    };
    while (Clock::now() < start + playTime) {
        if (Clock::now() < nextSample) {
            player.randomAction();
            continue;
        }
        samples.push_back(takeSample(program, start));
        failure = check("sample");
        ASSERT_EQ(failure, "") << player.context();
        nextSample = Clock::now() + sampleEvery;
    }
    player.finishPendingWall();
    samples.push_back(takeSample(program, start));
    failure = check("end");
    shot.savePng("/tmp/tumblewell-long-play-end.png");
    ASSERT_EQ(failure, "") << player.context();

    const Expected& expected = player.expected();
    std::cout << "scene at the end: " << expected.attractors.size() << " attractors, "
              << expected.walls << " walls, " << expected.balls << " balls" << std::endl;

    long low = 0, high = 0;
    bool judged = false;
    std::ostringstream listed;
    for (const Sample& sample : samples) {
        ASSERT_GT(sample.residentKb, 0) << "VmRSS unreadable at " << sample.seconds << " s";
        listed << " " << std::lround(sample.seconds) << "s:" << sample.residentKb;
        if (sample.seconds < warmUp.count()) continue;
        low = judged ? std::min(low, sample.residentKb) : sample.residentKb;
        high = judged ? std::max(high, sample.residentKb) : sample.residentKb;
        judged = true;
    }
    ASSERT_TRUE(judged);
    EXPECT_LT(high - low, rssBoundKb) << "resident memory grew after warm-up (kB):" << listed.str();
}
