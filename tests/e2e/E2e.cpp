#include "E2e.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace std::chrono_literals;

namespace {
std::vector<std::pair<std::string, std::string>> withQuietSound(
    std::vector<std::pair<std::string, std::string>> environment) {
    bool soundChosen = false;
    for (const auto& entry : environment)
        soundChosen = soundChosen || entry.first == "SDL_AUDIODRIVER";
    if (!soundChosen) environment.emplace_back("SDL_AUDIODRIVER", "dummy");
    return environment;
}

// Waits for `expected` on the screen; false, with what was seen, if it never came.
bool waitToShow(Program& program, const std::string& name, std::string* failure) {
    const Screenshot expected = picture(name);
    Screenshot shot =
        program.waitForScreen([&](const Screenshot& s) { return shows(s, expected); }, 20s);
    if (shows(shot, expected)) return true;
    *failure = name + " did not show; difference " +
               std::to_string(meanDifference(shot, expected)) +
               "; program says: " + program.errors();
    return false;
}
}  // namespace

std::string binaryPath() { return TUMBLEWELL_BINARY; }

std::string sourceFolder() { return TUMBLEWELL_SOURCE_DIR; }

Session::Session(const std::string& workDir,
                 std::vector<std::pair<std::string, std::string>> environment)
    : program(server, binaryPath(), workDir, withQuietSound(std::move(environment))) {}

void clickAt(Program& program, int x, int y) {
    program.moveTo(x, y);
    program.click(1);
}

Screenshot picture(const std::string& name) {
    return readPicture(sourceFolder() + "/images/" + name, 640, 480);
}

bool shows(const Screenshot& screen, const Screenshot& expected) {
    return meanDifference(screen, expected) < 4.0;
}

std::string windowSize(Program& program) {
    std::string report;
    program.xdotool({"getwindowgeometry", program.window()}, &report);
    size_t at = report.find("Geometry: ");
    return at == std::string::npos ? "" : report.substr(at + 10, report.find('\n', at) - at - 10);
}

bool waitForInputHandled(Program& program) {
    if (!program.xdotool({"windowsize", program.window(), "800", "600"})) return false;
    return waitUntil([&] { return windowSize(program) == "640x480"; }, 20s);
}

testing::AssertionResult enterPlaying(Program& program) {
    if (program.window().empty())
        return testing::AssertionFailure() << "no window; program says: " << program.errors();
    std::string failure;
    if (!waitToShow(program, "titlescreen.png", &failure))
        return testing::AssertionFailure() << failure;
    program.moveTo(320, 240);
    program.click(1);
    if (!waitToShow(program, "instructions.png", &failure))
        return testing::AssertionFailure() << failure;
    program.click(1);
    if (!waitToShow(program, "gray.png", &failure)) return testing::AssertionFailure() << failure;
    return testing::AssertionSuccess();
}

KeepIfFailed::~KeepIfFailed() {
    if (!testing::Test::HasFailure() || shot.empty()) return;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    shot.savePng(std::string(test->test_suite_name()) + "." + test->name() + ".png");
}

bool isWallColour(const uint8_t* rgb) {
    return rgb[0] >= 230 && rgb[1] <= 40 && rgb[2] >= 200 && rgb[2] <= 250;
}

bool isBallColour(const uint8_t* rgb) {
    return rgb[2] >= 100 && rgb[2] >= rgb[0] + 60 && rgb[2] >= rgb[1] + 30;
}

bool isAttractorColour(const uint8_t* rgb) {
    return rgb[0] >= 100 && rgb[0] >= rgb[1] + 60 && rgb[0] >= rgb[2] + 60;
}

bool isWhite(const uint8_t* rgb) { return rgb[0] >= 240 && rgb[1] >= 240 && rgb[2] >= 240; }

std::vector<Blob> findBlobs(const Screenshot& shot, const ColourTest& matches, int smallest) {
    std::vector<Blob> blobs;
    std::vector<bool> seen(static_cast<size_t>(shot.width) * shot.height, false);
    std::vector<std::pair<int, int>> pending;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            size_t index = static_cast<size_t>(y) * shot.width + x;
            if (seen[index] || !matches(shot.at(x, y))) continue;
            Blob blob{0, 0.0, 0.0, x, y, x, y};
            double sumX = 0.0;
            double sumY = 0.0;
            seen[index] = true;
            pending.assign(1, {x, y});
            while (!pending.empty()) {
                auto [px, py] = pending.back();
                pending.pop_back();
                ++blob.pixels;
                sumX += px;
                sumY += py;
                blob.left = std::min(blob.left, px);
                blob.right = std::max(blob.right, px);
                blob.top = std::min(blob.top, py);
                blob.bottom = std::max(blob.bottom, py);
                const int neighbours[4][2] = {
                    {px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}};
                for (const auto& n : neighbours) {
                    if (n[0] < 0 || n[1] < 0 || n[0] >= shot.width || n[1] >= shot.height) continue;
                    size_t next = static_cast<size_t>(n[1]) * shot.width + n[0];
                    if (seen[next] || !matches(shot.at(n[0], n[1]))) continue;
                    seen[next] = true;
                    pending.push_back({n[0], n[1]});
                }
            }
            if (blob.pixels < smallest) continue;
            // Pixel centres lie half a pixel inside their corners.
            blob.centreX = sumX / blob.pixels + 0.5;
            blob.centreY = sumY / blob.pixels + 0.5;
            blobs.push_back(blob);
        }
    }
    std::sort(blobs.begin(), blobs.end(),
              [](const Blob& a, const Blob& b) { return a.pixels > b.pixels; });
    return blobs;
}

bool showsSegment(const Screenshot& shot, const ColourTest& matches, int x1, int y1, int x2,
                  int y2) {
    const int samples = 40;
    for (int i = 2; i <= samples - 2; ++i) {
        double t = static_cast<double>(i) / samples;
        int x = static_cast<int>(x1 + t * (x2 - x1));
        int y = static_cast<int>(y1 + t * (y2 - y1));
        if (countMatching(shot, matches, x - 2, y - 2, x + 2, y + 2) == 0) return false;
    }
    return true;
}

int countMatching(const Screenshot& shot, const ColourTest& matches, int left, int top, int right,
                  int bottom) {
    int count = 0;
    for (int y = std::max(top, 0); y <= std::min(bottom, shot.height - 1); ++y)
        for (int x = std::max(left, 0); x <= std::min(right, shot.width - 1); ++x)
            count += matches(shot.at(x, y));
    return count;
}

WorldPoint worldAt(int pixelX, int pixelY) {
    const int width = 640;
    const int height = 480;
    const double visibleHalfHeight = 37.5;
    const double offsetX = 0.0;
    const double offsetY = -37.5;
    float centredX = static_cast<float>(pixelX - width / 2);
    float centredY = static_cast<float>(pixelY - height / 2);
    double scale = 1.0 / (height / 2);
    return WorldPoint{static_cast<float>(visibleHalfHeight * (centredX * scale) - offsetX),
                      static_cast<float>(visibleHalfHeight * -(centredY * scale) - offsetY)};
}

std::string traceLine(WorldPoint first, WorldPoint second) {
    std::ostringstream line;
    line << "(" << first.x << ", " << first.y << ") (" << second.x << ", " << second.y << ")\n";
    return line.str();
}

void copyRunTimeData(const std::string& folder) {
    for (const char* data : {"images", "audio"})
        std::filesystem::copy(sourceFolder() + "/" + data, folder + "/" + data,
                              std::filesystem::copy_options::recursive);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
