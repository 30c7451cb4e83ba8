// Reading back textures, names, descriptors and stderr for the glpng tests.
#include "TextureProbe.h"

#include "glpng.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace texprobe {

unsigned loadAsProgramDoes(const std::string& path, pngInfo* info) {
    return pngBind(path.c_str(), PNG_BUILDMIPMAPS, PNG_ALPHA, info, GL_CLAMP, GL_LINEAR, GL_LINEAR);
}

LevelInfo levelInfo(GLuint texture, int level) {
    glBindTexture(GL_TEXTURE_2D, texture);
    LevelInfo result;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &result.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &result.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_INTERNAL_FORMAT,
                             &result.internalFormat);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_ALPHA_SIZE, &result.alphaBits);
    return result;
}

std::vector<uint8_t> readLevelRgba(GLuint texture, int level) {
    const LevelInfo info = levelInfo(texture, level);
    std::vector<uint8_t> rgba(size_t(info.width) * size_t(info.height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

int textureParameter(GLuint texture, GLenum parameter) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

std::vector<GLuint> liveTextureNames(GLuint limit) {
    std::vector<GLuint> names;
    for (GLuint name = 1; name <= limit; ++name)
        if (glIsTexture(name)) names.push_back(name);
    return names;
}

int openDescriptorCount() {
    DIR* folder = opendir("/proc/self/fd");
    if (folder == nullptr) throw std::runtime_error("cannot list /proc/self/fd");
    int count = 0;
    while (dirent* entry = readdir(folder))
        if (entry->d_name[0] != '.') ++count;
    closedir(folder);
    return count - 1;  // the listing's own descriptor
}

StderrCapture::StderrCapture() {
    std::fflush(stderr);
    sink_ = std::tmpfile();
    savedDescriptor_ = dup(STDERR_FILENO);
    if (sink_ == nullptr || savedDescriptor_ < 0) throw std::runtime_error("cannot capture stderr");
    dup2(fileno(sink_), STDERR_FILENO);
}

StderrCapture::~StderrCapture() { finish(); }

std::string StderrCapture::finish() {
    if (sink_ == nullptr) return {};
    std::fflush(stderr);
    dup2(savedDescriptor_, STDERR_FILENO);
    close(savedDescriptor_);
    std::string text;
    std::rewind(sink_);
    char buffer[512];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, sink_)) > 0) text.append(buffer, got);
    std::fclose(sink_);
    sink_ = nullptr;
    return text;
}

}  // namespace texprobe
