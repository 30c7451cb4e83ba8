// Helpers for the sound tests: writing test sound files, reading what SDL's
// disk audio driver writes, and measuring tones, gaps and exact matches in it.
// PCM is always interleaved stereo signed 16-bit at 44100 Hz, the format the
// sound layer opens its output in.
#pragma once
#include "TempDir.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Pcm = std::vector<int16_t>;

const int kTestRate = 44100;

size_t frameCount(const Pcm& pcm);

// A sine on both channels starting at phase 0.
Pcm sineTone(double hz, double seconds, double amplitude);
// Deterministic noise with no zero sample, different on each channel, so that
// every stretch of it is unique and can never be mistaken for silence.
Pcm noise(size_t frames);

void writeWav(const std::string& path, const Pcm& pcm);
void writeFile(const std::string& path, const std::string& bytes);
// Encodes a WAV file with lame (which records the encoder delay and padding,
// so decoders can trim them). True when the MP3 was written.
bool encodeMp3(const std::string& wavPath, const std::string& mp3Path);

// Runs `action` with the process's stderr sent to a file; returns what it wrote.
std::string captureStderr(const std::function<void()>& action);
size_t lineCount(const std::string& text);

// The output of SDL's disk audio driver, which writes every mixed buffer to a
// file. selectDiskDriver must run before the sound output is opened.
class DiskOutput {
public:
    explicit DiskOutput(std::string file) : file_(std::move(file)) {}
    // Makes SDL write its output to the file, 5 ms apart per buffer instead of
    // in real time, so tests hear seconds of sound in a fraction of that.
    void selectDiskDriver() const;
    size_t framesWritten() const;
    // Polls until frames [first, first + count) are written (or a generous
    // deadline passes) and returns them; shorter than `count` on timeout.
    Pcm waitForFrames(size_t first, size_t count) const;

private:
    std::string file_;
};

// Index of the first frame at or after `from` that is not silent, or pcm size
// in frames if there is none.
size_t firstSoundingFrame(const Pcm& pcm, size_t from);
// How many frames from `from` on equal `source` played from `sourceFrame` on,
// wrapping to the start of `source` at its end (a seamless loop).
size_t matchingRun(const Pcm& captured, size_t from, const Pcm& source, size_t sourceFrame);
// Amplitude (in sample units) of the `hz` component of the left channel over
// [from, from + frames); exact for a whole number of periods (Goertzel).
double toneAmplitude(const Pcm& pcm, size_t from, size_t frames, double hz);
// Longest run of frames in [from, from + frames) whose left sample is within
// ±threshold of zero.
size_t longestQuietRun(const Pcm& pcm, size_t from, size_t frames, int threshold);
// Largest absolute sample value, either channel, in [from, from + frames).
int peakLevel(const Pcm& pcm, size_t from, size_t frames);
