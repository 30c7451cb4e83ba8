// Test sound files, the disk driver's captured output and measurements on it.
#include "SoundTestSupport.h"

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace {

const int kChannels = 2;
const size_t kBytesPerFrame = kChannels * sizeof(int16_t);
const double kPi = 3.14159265358979323846;

void putLittleEndian(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

}  // namespace

size_t frameCount(const Pcm& pcm) { return pcm.size() / kChannels; }

Pcm sineTone(double hz, double seconds, double amplitude) {
    const size_t frames = static_cast<size_t>(std::lround(seconds * kTestRate));
    Pcm pcm;
    pcm.reserve(frames * kChannels);
    for (size_t i = 0; i < frames; ++i) {
        const double value =
            amplitude * 32767.0 * std::sin(2.0 * kPi * hz * static_cast<double>(i) / kTestRate);
        const auto sample = static_cast<int16_t>(std::lround(value));
        pcm.push_back(sample);
        pcm.push_back(sample);
    }
    return pcm;
}

Pcm noise(size_t frames) {
    Pcm pcm;
    pcm.reserve(frames * kChannels);
    uint32_t state = 12345;
    for (size_t i = 0; i < frames * kChannels; ++i) {
        state = state * 1664525u + 1013904223u;
        const int value = static_cast<int>(state >> 20) - 2048;  // -2048 .. 2047
        pcm.push_back(static_cast<int16_t>(value >= 0 ? value + 1 : value));
    }
    return pcm;
}

void writeWav(const std::string& path, const Pcm& pcm) {
    const auto dataBytes = static_cast<uint32_t>(pcm.size() * sizeof(int16_t));
    std::string wav = "RIFF";
    putLittleEndian(wav, 36 + dataBytes, 4);
    wav += "WAVEfmt ";
    putLittleEndian(wav, 16, 4);
    putLittleEndian(wav, 1, 2);  // PCM
    putLittleEndian(wav, kChannels, 2);
    putLittleEndian(wav, kTestRate, 4);
    putLittleEndian(wav, kTestRate * kBytesPerFrame, 4);
    putLittleEndian(wav, kBytesPerFrame, 2);
    putLittleEndian(wav, 16, 2);
    wav += "data";
    putLittleEndian(wav, dataBytes, 4);
    for (int16_t sample : pcm) {
        putLittleEndian(wav, static_cast<uint16_t>(sample), 2);
    }
    writeFile(path, wav);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool encodeMp3(const std::string& wavPath, const std::string& mp3Path) {
    const std::string command = "lame --quiet -b 128 '" + wavPath + "' '" + mp3Path + "'";
    return std::system(command.c_str()) == 0 && std::filesystem::file_size(mp3Path) > 0;
}

std::string captureStderr(const std::function<void()>& action) {
    std::fflush(stderr);
    FILE* sink = std::tmpfile();
    const int saved = dup(STDERR_FILENO);
    dup2(fileno(sink), STDERR_FILENO);
    action();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::rewind(sink);
    std::string text;
    for (int c = std::fgetc(sink); c != EOF; c = std::fgetc(sink)) {
        text.push_back(static_cast<char>(c));
    }
    std::fclose(sink);
    return text;
}

size_t lineCount(const std::string& text) {
    const auto lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    return lines + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

void DiskOutput::selectDiskDriver() const {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "5", 1);
}

size_t DiskOutput::framesWritten() const {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file_, error);
    return error ? 0 : static_cast<size_t>(bytes) / kBytesPerFrame;
}

Pcm DiskOutput::waitForFrames(size_t first, size_t count) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (framesWritten() < first + count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::ifstream in(file_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(first * kBytesPerFrame));
    Pcm pcm(count * kChannels);
    in.read(reinterpret_cast<char*>(pcm.data()),
            static_cast<std::streamsize>(pcm.size() * sizeof(int16_t)));
    pcm.resize(static_cast<size_t>(in.gcount()) / kBytesPerFrame * kChannels);
    return pcm;
}

size_t firstSoundingFrame(const Pcm& pcm, size_t from) {
    size_t frame = from;
    while (frame < frameCount(pcm) && pcm[frame * kChannels] == 0 &&
           pcm[frame * kChannels + 1] == 0) {
        ++frame;
    }
    return frame;
}

size_t matchingRun(const Pcm& captured, size_t from, const Pcm& source, size_t sourceFrame) {
    const size_t sourceFrames = frameCount(source);
    size_t run = 0;
    for (size_t frame = from; frame < frameCount(captured); ++frame) {
        const size_t expected = (sourceFrame + run) % sourceFrames;
        if (captured[frame * kChannels] != source[expected * kChannels] ||
            captured[frame * kChannels + 1] != source[expected * kChannels + 1]) {
            break;
        }
        ++run;
    }
    return run;
}

double toneAmplitude(const Pcm& pcm, size_t from, size_t frames, double hz) {
    const double coefficient = 2.0 * std::cos(2.0 * kPi * hz / kTestRate);
    double previous = 0.0;
    double beforePrevious = 0.0;
    for (size_t frame = from; frame < from + frames; ++frame) {
        const double current = pcm[frame * kChannels] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power = previous * previous + beforePrevious * beforePrevious -
                         coefficient * previous * beforePrevious;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(frames);
}

size_t longestQuietRun(const Pcm& pcm, size_t from, size_t frames, int threshold) {
    size_t longest = 0;
    size_t run = 0;
    for (size_t frame = from; frame < from + frames; ++frame) {
        run = std::abs(pcm[frame * kChannels]) <= threshold ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

int peakLevel(const Pcm& pcm, size_t from, size_t frames) {
    int peak = 0;
    for (size_t i = from * kChannels; i < (from + frames) * kChannels; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(pcm[i])));
    }
    return peak;
}
