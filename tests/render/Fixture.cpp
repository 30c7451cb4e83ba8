#include "Fixture.h"

#include "Camera.h"
#include "GlWindow.h"

#include <GL/gl.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace fixture {

namespace {

void makePicture(const std::string& path, const std::string& size,
                 const std::vector<std::string>& drawing) {
    std::string command = "/usr/bin/convert -size " + size;
    for (const std::string& part : drawing) command += " " + part;
    command += " -depth 8 PNG32:" + path;
    if (std::system(command.c_str()) != 0) throw std::runtime_error("could not make " + path);
}

}  // namespace

const std::string& pictureFolder() {
    static const std::string folder = [] {
        std::string root = std::filesystem::temp_directory_path() /
                           ("tumblewell-render-" + std::to_string(getpid()));
        std::filesystem::create_directories(root + "/images");
        std::string images = root + "/images/";
        // Opaque solid tokens make exact squares; the quartered picture shows
        // orientation: red top-left, green top-right, blue bottom-left, black bottom-right.
        // Pictures are made at the size they are drawn, so the clamped edge
        // texels do not blend into the border.
        makePicture(images + "bluetoken.png", "8x8", {"xc:'rgb(0,0,255)'"});
        makePicture(images + "redtoken.png", "8x8", {"xc:'rgb(255,0,0)'"});
        makePicture(images + "gray.png", "640x480", {"xc:'rgb(0,128,0)'"});
        makePicture(images + "titlescreen.png", "640x480",
                    {"xc:black", "-fill red -draw 'rectangle 0,0 319,239'",
                     "-fill lime -draw 'rectangle 320,0 639,239'",
                     "-fill blue -draw 'rectangle 0,240 319,479'"});
        makePicture(images + "instructions.png", "640x480", {"xc:'rgb(0,0,128)'"});
        makePicture(images + "gameover.png", "640x480", {"xc:'rgb(128,0,0)'"});
        return root;
    }();
    return folder;
}

void startPlayingFrame() {
    Camera::instance().reshape(640, 480);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_FLAT);
    Camera::instance().applyView();
}

std::array<uint8_t, 4> pixel(int x, int y) { return glwindow::pixelAt(x, y); }

bool isColour(const std::array<uint8_t, 4>& rgba, int r, int g, int b, int tolerance) {
    return std::abs(rgba[0] - r) <= tolerance && std::abs(rgba[1] - g) <= tolerance &&
           std::abs(rgba[2] - b) <= tolerance;
}

std::array<int, 4> boxWhere(const PixelTest& test) {
    std::vector<uint8_t> frame = glwindow::readBackBuffer();
    std::array<int, 4> box{-1, -1, -1, -1};
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const uint8_t* p = &frame[(y * 640 + x) * 4];
            if (!test({p[0], p[1], p[2], p[3]})) continue;
            if (box[0] < 0 || x < box[0]) box[0] = x;
            if (box[1] < 0 || y < box[1]) box[1] = y;
            if (x > box[2]) box[2] = x;
            if (y > box[3]) box[3] = y;
        }
    }
    return box;
}

int countWhere(const PixelTest& test) {
    std::vector<uint8_t> frame = glwindow::readBackBuffer();
    int count = 0;
    for (size_t i = 0; i < frame.size(); i += 4)
        count += test({frame[i], frame[i + 1], frame[i + 2], frame[i + 3]});
    return count;
}

PixelTest colour(int r, int g, int b) {
    return [=](const std::array<uint8_t, 4>& rgba) { return isColour(rgba, r, g, b); };
}

PixelTest notColour(int r, int g, int b) {
    return [=](const std::array<uint8_t, 4>& rgba) { return !isColour(rgba, r, g, b); };
}

}  // namespace fixture
