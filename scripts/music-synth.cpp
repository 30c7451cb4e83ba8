// Synthesises Tumblewell's background music loop and its click sample as 16-bit
// 44.1 kHz WAV files: usage `music-synth MUSIC.wav CLICK.wav`.
//
// The music is eight bars at 96 beats per minute (exactly 882000 frames): a soft
// pad, a plucked arpeggio, a bass line and a few electric-piano notes. Every note
// is mixed into the loop modulo its length, so a tail that runs past the end
// sounds again at the start; the delay and the reverb run over the loop twice
// and keep the second pass, when their state already holds the end of the loop.
// The result is periodic: the last frame leads into the first as into any other.
// Noise comes from a fixed-seed generator, so the output is the same every run.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int sampleRate = 44100;
constexpr double beatsPerMinute = 96.0;
constexpr int beatsPerBar = 4;
constexpr int bars = 8;
constexpr double framesPerBeat = sampleRate * 60.0 / beatsPerMinute;
constexpr int loopFrames = static_cast<int>(framesPerBeat * beatsPerBar * bars);
constexpr double pi = 3.14159265358979323846;

struct Stereo {
    std::vector<double> left;
    std::vector<double> right;
    explicit Stereo(size_t frames) : left(frames, 0.0), right(frames, 0.0) {}
};

struct Bar {
    std::array<int, 4> pad;  // MIDI notes held through the bar
    std::array<int, 5> arp;  // MIDI notes the arpeggio walks over, low to high
    int bass;
};

// Dmaj7 | Bm7 | Gmaj7 | A6 | Dmaj7 | F#m7 | Gmaj7 | Asus4 - A, back to Dmaj7.
const std::array<Bar, bars> song = {{
    {{54, 57, 61, 64}, {62, 66, 69, 73, 76}, 38},
    {{54, 57, 62, 66}, {59, 62, 66, 69, 74}, 35},
    {{54, 59, 62, 67}, {62, 66, 67, 71, 74}, 43},
    {{52, 57, 61, 66}, {61, 64, 66, 69, 73}, 45},
    {{54, 57, 61, 64}, {62, 66, 69, 73, 76}, 38},
    {{54, 57, 61, 64}, {64, 66, 69, 73, 76}, 42},
    {{54, 59, 62, 67}, {62, 66, 67, 71, 74}, 43},
    {{52, 57, 62, 64}, {62, 64, 69, 74, 76}, 45},
}};
// The last bar resolves the suspension half way through.
const Bar lastBarResolved = {{52, 57, 61, 64}, {61, 64, 69, 73, 76}, 45};

struct MelodyNote {
    double beat;  // from the start of the loop
    double beats;
    int note;
};
const MelodyNote melody[] = {
    {0, 3, 76},  {3, 1, 78},  {4, 2, 74},    {6, 1, 78},      {7, 1, 81},  {8, 2, 83},  {10, 1, 81},
    {11, 1, 78}, {12, 4, 76}, {16, 1.5, 76}, {17.5, 0.5, 78}, {18, 2, 81}, {20, 2, 85}, {22, 1, 81},
    {23, 1, 76}, {24, 2, 78}, {26, 1, 74},   {27, 1, 71},     {28, 2, 74}, {30, 2, 73},
};

// Arpeggio steps (indices into Bar::arp), one per eighth note.
const std::array<int, 8> arpFirstHalf = {0, 1, 2, 3, 4, 3, 2, 1};
const std::array<int, 8> arpSecondHalf = {0, 2, 1, 3, 2, 4, 3, 2};

double frequencyOf(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

int frameOfBeat(double beat) { return static_cast<int>(std::lround(beat * framesPerBeat)); }

// Deterministic white noise in [-1, 1).
struct Noise {
    uint32_t state;
    double next() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) * (2.0 / 16777216.0) - 1.0;
    }
};

// Adds a mono note into the loop at `start`, wrapping past the end, with equal-power panning.
void addWrapped(Stereo& mix, const std::vector<double>& note, int start, double gain, double pan) {
    const double left = gain * std::cos(pan * pi / 2.0);
    const double right = gain * std::sin(pan * pi / 2.0);
    for (size_t i = 0; i < note.size(); ++i) {
        const size_t frame = (static_cast<size_t>(start) + i) % loopFrames;
        mix.left[frame] += note[i] * left;
        mix.right[frame] += note[i] * right;
    }
}

// Raised-cosine ramp from 0 to 1 as t goes from 0 to `length`.
double smoothRamp(double t, double length) {
    if (t <= 0.0) return 0.0;
    if (t >= length) return 1.0;
    return 0.5 - 0.5 * std::cos(pi * t / length);
}

// Two-pole state-variable low-pass filter.
struct LowPass {
    double low = 0.0, band = 0.0;
    double process(double input, double cutoff, double damping) {
        const double f = 2.0 * std::sin(pi * cutoff / sampleRate);
        low += f * band;
        band += f * (input - low - damping * band);
        return low;
    }
};

// Band-limited sawtooth step (polyBLEP).
double sawStep(double& phase, double increment) {
    double value = 2.0 * phase - 1.0;
    if (phase < increment) {
        const double t = phase / increment;
        value -= t + t - t * t - 1.0;
    } else if (phase > 1.0 - increment) {
        const double t = (phase - 1.0) / increment;
        value -= t * t + t + t + 1.0;
    }
    phase += increment;
    if (phase >= 1.0) phase -= 1.0;
    return value;
}

// A warm pad voice: two detuned saws through a slowly opening low-pass, long attack and release.
std::vector<double> padNote(int midiNote, double seconds, double detuneCents, double startPhase) {
    const double attack = 0.9, release = 1.6;
    const size_t frames = static_cast<size_t>((seconds + release) * sampleRate);
    std::vector<double> out(frames);
    const double base = frequencyOf(midiNote);
    const double up = base * std::pow(2.0, detuneCents / 1200.0) / sampleRate;
    const double down = base * std::pow(2.0, -detuneCents / 1200.0) / sampleRate;
    double phaseUp = startPhase, phaseDown = std::fmod(startPhase + 0.37, 1.0);
    LowPass filter;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double envelope =
            smoothRamp(t, attack) * (t < seconds ? 1.0 : 1.0 - smoothRamp(t - seconds, release));
        const double cutoff = 500.0 + 700.0 * smoothRamp(t, seconds);
        const double raw = 0.5 * (sawStep(phaseUp, up) + sawStep(phaseDown, down));
        out[i] = filter.process(raw, cutoff, 1.2) * envelope;
    }
    return out;
}

// A plucked string (Karplus-Strong with an all-pass tuning stage); the excitation's
// brightness follows the velocity.
std::vector<double> pluckNote(int midiNote, double velocity, Noise& noise) {
    const double seconds = 1.8;
    const size_t frames = static_cast<size_t>(seconds * sampleRate);
    const double period = sampleRate / frequencyOf(midiNote);
    // The loop delays by its length less half a sample (the averaging) plus the
    // all-pass's fraction, which stays within (0.1, 1.1] where it is most even.
    const size_t length = static_cast<size_t>(period + 0.4);
    const double fraction = period + 0.5 - static_cast<double>(length);
    const double allPass = (1.0 - fraction) / (1.0 + fraction);
    std::vector<double> line(length);
    double smooth = 0.0, mean = 0.0;
    const double brightness = 0.12 + 0.18 * velocity;
    for (double& sample : line) {
        smooth += brightness * (noise.next() - smooth);
        sample = smooth;
        mean += smooth;
    }
    mean /= static_cast<double>(length);
    for (double& sample : line) sample -= mean;

    std::vector<double> out(frames);
    const double decay = 0.9965;
    double previousIn = 0.0, previousOut = 0.0;
    size_t position = 0;
    for (size_t i = 0; i < frames; ++i) {
        const size_t nextPosition = (position + 1) % length;
        const double averaged = decay * 0.5 * (line[position] + line[nextPosition]);
        const double tuned = allPass * averaged + previousIn - allPass * previousOut;
        previousIn = averaged;
        previousOut = tuned;
        out[i] = line[position];
        line[position] = tuned;
        position = nextPosition;
    }
    const size_t fadeFrames = sampleRate / 10;
    for (size_t i = 0; i < fadeFrames; ++i)
        out[frames - 1 - i] *= smoothRamp(static_cast<double>(i), fadeFrames);
    for (size_t i = 0; i < 64; ++i) out[i] *= smoothRamp(static_cast<double>(i), 64.0);
    return out;
}

// A round bass: a sine with a little second and third harmonic, quick attack, gentle decay.
std::vector<double> bassNote(int midiNote, double seconds) {
    const double release = 0.12;
    const size_t frames = static_cast<size_t>((seconds + release) * sampleRate);
    std::vector<double> out(frames);
    const double step = 2.0 * pi * frequencyOf(midiNote) / sampleRate;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double phase = step * static_cast<double>(i);
        const double tone =
            std::sin(phase) + 0.3 * std::sin(2.0 * phase) + 0.12 * std::sin(3.0 * phase);
        const double body = 0.65 + 0.35 * std::exp(-t / 0.25);
        const double envelope = smoothRamp(t, 0.012) * body *
                                (t < seconds ? 1.0 : 1.0 - smoothRamp(t - seconds, release));
        out[i] = tone * envelope;
    }
    return out;
}

// An electric piano: two-operator FM whose brightness fades faster than its loudness.
std::vector<double> pianoNote(int midiNote, double seconds) {
    const double release = 1.2;
    const size_t frames = static_cast<size_t>((seconds + release) * sampleRate);
    std::vector<double> out(frames);
    const double step = 2.0 * pi * frequencyOf(midiNote) / sampleRate;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double phase = step * static_cast<double>(i);
        const double index = 0.2 + 1.3 * std::exp(-t / 0.35);
        const double tone = std::sin(phase + index * std::sin(phase));
        const double envelope = smoothRamp(t, 0.004) * std::exp(-t / 1.4) *
                                (t < seconds ? 1.0 : 1.0 - smoothRamp(t - seconds, release));
        out[i] = tone * envelope;
    }
    return out;
}

// Runs a stateful stereo effect over the loop twice and keeps the second pass, so
// that its output at the start already carries what the end of the loop left in it.
template <typename Effect>
Stereo periodic(const Stereo& input, Effect effect) {
    Stereo out(loopFrames);
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < loopFrames; ++i) {
            double left = input.left[i], right = input.right[i];
            effect(left, right);
            out.left[i] = left;
            out.right[i] = right;
        }
    }
    return out;
}

// Ping-pong echo: what goes in on one side comes back on the other.
struct PingPong {
    std::vector<double> left, right;
    size_t position = 0;
    double feedback;
    PingPong(size_t frames, double feedbackGain)
        : left(frames, 0.0), right(frames, 0.0), feedback(feedbackGain) {}
    void operator()(double& inLeft, double& inRight) {
        const double outLeft = left[position], outRight = right[position];
        left[position] = 0.5 * (inLeft + inRight) + feedback * outRight;
        right[position] = feedback * outLeft;
        position = (position + 1) % left.size();
        inLeft = outLeft;
        inRight = outRight;
    }
};

struct Comb {
    std::vector<double> line;
    size_t position = 0;
    double filtered = 0.0;
    double process(double input, double feedback, double damping) {
        const double out = line[position];
        filtered = out * (1.0 - damping) + filtered * damping;
        line[position] = input + filtered * feedback;
        position = (position + 1) % line.size();
        return out;
    }
};

struct AllPass {
    std::vector<double> line;
    size_t position = 0;
    double process(double input) {
        const double delayed = line[position];
        line[position] = input + delayed * 0.5;
        position = (position + 1) % line.size();
        return delayed - input;
    }
};

// A small Schroeder-Moorer hall: eight damped combs and four all-passes per side.
struct Reverb {
    std::vector<Comb> combs[2];
    std::vector<AllPass> allPasses[2];
    Reverb() {
        const int combLengths[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        const int allPassLengths[] = {556, 441, 341, 225};
        const int spread[] = {0, 23};
        for (int side = 0; side < 2; ++side) {
            for (int length : combLengths)
                combs[side].push_back({std::vector<double>(length + spread[side], 0.0)});
            for (int length : allPassLengths)
                allPasses[side].push_back({std::vector<double>(length + spread[side], 0.0)});
        }
    }
    double side(int which, double input) {
        double sum = 0.0;
        for (Comb& comb : combs[which]) sum += comb.process(input, 0.82, 0.3);
        for (AllPass& allPass : allPasses[which]) sum = allPass.process(sum);
        return sum;
    }
    void operator()(double& left, double& right) {
        const double input = 0.015 * (left + right);
        left = side(0, input);
        right = side(1, input);
    }
};

// Removes any DC the voices leave, a first-order high-pass at about 20 Hz.
struct DcBlock {
    double previousIn[2] = {0.0, 0.0}, previousOut[2] = {0.0, 0.0};
    double process(int which, double input) {
        const double out = input - previousIn[which] + 0.9972 * previousOut[which];
        previousIn[which] = input;
        previousOut[which] = out;
        return out;
    }
    void operator()(double& left, double& right) {
        left = process(0, left);
        right = process(1, right);
    }
};

Stereo composeMusic() {
    Stereo dry(loopFrames), echoSend(loopFrames), reverbSend(loopFrames);
    Noise noise{20240611u};
    const double barBeats = beatsPerBar;

    for (int barIndex = 0; barIndex < bars; ++barIndex) {
        const bool resolves = barIndex == bars - 1;
        const double barStart = barIndex * barBeats;
        const double padBeats = resolves ? barBeats / 2 : barBeats;
        auto playPad = [&](const Bar& bar, double startBeat, double beats) {
            for (size_t voice = 0; voice < bar.pad.size(); ++voice) {
                const auto note =
                    padNote(bar.pad[voice], beats * 60.0 / beatsPerMinute, 7.0, 0.13 * voice);
                const double pan = 0.2 + 0.2 * static_cast<double>(voice);
                addWrapped(dry, note, frameOfBeat(startBeat), 0.05, pan);
                addWrapped(reverbSend, note, frameOfBeat(startBeat), 0.05, pan);
            }
        };
        playPad(song[barIndex], barStart, padBeats);
        if (resolves) playPad(lastBarResolved, barStart + padBeats, barBeats - padBeats);

        const auto& steps = barIndex < bars / 2 ? arpFirstHalf : arpSecondHalf;
        for (int eighth = 0; eighth < 8; ++eighth) {
            const Bar& bar = resolves && eighth >= 4 ? lastBarResolved : song[barIndex];
            const double velocity = eighth % 2 == 0 ? 1.0 : 0.7;
            const auto note = pluckNote(bar.arp[steps[eighth]], velocity, noise);
            const int start = frameOfBeat(barStart + 0.5 * eighth);
            const double pan = eighth % 2 == 0 ? 0.38 : 0.62;
            addWrapped(dry, note, start, 0.34 * velocity, pan);
            addWrapped(echoSend, note, start, 0.34 * velocity, pan);
            addWrapped(reverbSend, note, start, 0.2 * velocity, pan);
        }

        const double bassSeconds = 60.0 / beatsPerMinute;
        addWrapped(dry, bassNote(song[barIndex].bass, 2.6 * bassSeconds), frameOfBeat(barStart),
                   0.13, 0.5);
        addWrapped(dry, bassNote(song[barIndex].bass + 12, 0.4 * bassSeconds),
                   frameOfBeat(barStart + 2.5), 0.06, 0.5);
        addWrapped(dry, bassNote(song[barIndex].bass, 0.9 * bassSeconds), frameOfBeat(barStart + 3),
                   0.095, 0.5);
    }

    for (const MelodyNote& m : melody) {
        const auto note = pianoNote(m.note, m.beats * 60.0 / beatsPerMinute);
        addWrapped(dry, note, frameOfBeat(m.beat), 0.065, 0.55);
        addWrapped(reverbSend, note, frameOfBeat(m.beat), 0.075, 0.55);
    }

    const Stereo echo =
        periodic(echoSend, PingPong(static_cast<size_t>(framesPerBeat * 0.75), 0.38));
    const Stereo hall = periodic(reverbSend, Reverb());
    Stereo mix(loopFrames);
    for (int i = 0; i < loopFrames; ++i) {
        mix.left[i] = dry.left[i] + 0.28 * echo.left[i] + hall.left[i];
        mix.right[i] = dry.right[i] + 0.28 * echo.right[i] + hall.right[i];
    }
    return periodic(mix, DcBlock());
}

// A soft tick: a short woody knock (a fast-decaying 1.4 kHz tone) over a breath of filtered noise.
std::vector<double> composeClick() {
    const size_t frames = sampleRate * 45 / 1000;
    std::vector<double> out(frames);
    Noise noise{7u};
    LowPass filter;
    const double step = 2.0 * pi * 1400.0 / sampleRate;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double knock = std::sin(step * static_cast<double>(i)) * std::exp(-t / 0.006);
        const double breath = filter.process(noise.next(), 3000.0, 1.0) * std::exp(-t / 0.002);
        out[i] = (knock + 0.6 * breath) * smoothRamp(t, 0.0004) *
                 (1.0 - smoothRamp(static_cast<double>(i) - (frames - 400.0), 400.0));
    }
    return out;
}

void scaleToPeak(std::vector<std::vector<double>*> channels, double peak) {
    double highest = 0.0;
    for (auto* channel : channels)
        for (double sample : *channel) highest = std::fmax(highest, std::fabs(sample));
    for (auto* channel : channels)
        for (double& sample : *channel) sample *= peak / highest;
}

void putLittleEndian(std::FILE* file, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) std::fputc(static_cast<int>((value >> (8 * i)) & 0xffu), file);
}

// Writes interleaved 16-bit PCM; returns false if the file cannot be written.
bool writeWav(const char* path, const std::vector<const std::vector<double>*>& channels) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const uint32_t channelCount = static_cast<uint32_t>(channels.size());
    const uint32_t frames = static_cast<uint32_t>(channels[0]->size());
    const uint32_t dataBytes = frames * channelCount * 2;
    std::fputs("RIFF", file);
    putLittleEndian(file, 36 + dataBytes, 4);
    std::fputs("WAVEfmt ", file);
    putLittleEndian(file, 16, 4);
    putLittleEndian(file, 1, 2);
    putLittleEndian(file, channelCount, 2);
    putLittleEndian(file, sampleRate, 4);
    putLittleEndian(file, sampleRate * channelCount * 2, 4);
    putLittleEndian(file, channelCount * 2, 2);
    putLittleEndian(file, 16, 2);
    std::fputs("data", file);
    putLittleEndian(file, dataBytes, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        for (const auto* channel : channels) {
            const long value =
                std::lround(std::fmax(-1.0, std::fmin(1.0, (*channel)[i])) * 32767.0);
            putLittleEndian(file, static_cast<uint32_t>(static_cast<int16_t>(value)) & 0xffffu, 2);
        }
    }
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MUSIC.wav CLICK.wav\n", argv[0]);
        return 2;
    }
    Stereo music = composeMusic();
    scaleToPeak({&music.left, &music.right}, 0.7);
    std::vector<double> click = composeClick();
    scaleToPeak({&click}, 0.35);
    if (!writeWav(argv[1], {&music.left, &music.right}) || !writeWav(argv[2], {&click})) {
        std::fprintf(stderr, "music-synth: cannot write the output files\n");
        return 1;
    }
    std::printf("%s: %d frames, 2 channels, %d Hz\n", argv[1], loopFrames, sampleRate);
    return 0;
}
