// Reading back what pngBind left behind: texture levels and parameters, the
// texture names alive, open file descriptors and the lines written to stderr.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct pngInfo;

namespace texprobe {

// pngBind exactly as the program calls it.
unsigned loadAsProgramDoes(const std::string& path, pngInfo* info = nullptr);

struct LevelInfo {
    int width = 0;
    int height = 0;
    int internalFormat = 0;
    int alphaBits = 0;
};

LevelInfo levelInfo(GLuint texture, int level);
// The level's texels as RGBA bytes, rows in texture order (t = 0 first).
std::vector<uint8_t> readLevelRgba(GLuint texture, int level);
int textureParameter(GLuint texture, GLenum parameter);

// Names in [1, limit] that are textures right now.
std::vector<GLuint> liveTextureNames(GLuint limit);

// Number of open file descriptors of this process.
int openDescriptorCount();

// Redirects file descriptor 2 into a temporary file until finish().
class StderrCapture {
public:
    StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;
    ~StderrCapture();
    // Restores stderr and returns what was written meanwhile.
    std::string finish();

private:
    int savedDescriptor_ = -1;
    std::FILE* sink_ = nullptr;
};

}  // namespace texprobe
