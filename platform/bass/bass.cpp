// The BASS entry points over SDL2_mixer: streams are SDL_mixer "music"
// (decoded while playing, looped by the mixer itself, so a loop has no gap
// as long as the decoder knows the file's exact length), samples are chunks
// decoded at load time and played on mixer channels.
#include "bass.h"

#include "openRegularFile.h"
#include "quietLibraries.h"
#include "report.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

// Mixer buffer in frames: 46 ms at 44100 Hz, short enough to start at once,
// long enough not to underrun while the program's frames keep a core busy.
const int kMixerBufferFrames = 2048;

struct Sample {
    Mix_Chunk* chunk;
    DWORD maxPlaybacks;
    DWORD flags;
    std::vector<int> channelsByAge;  // mixer channels playing it, oldest first
};

struct Stream {
    Mix_Music* music;
    bool loop;
};

struct Library {
    bool initialised = false;
    DWORD lastHandle = 0;
    int reservedChannels = 0;  // sum of every sample's maxPlaybacks
    HSTREAM playingStream = 0;
    std::unordered_map<HSAMPLE, Sample> samples;
    std::unordered_map<HSTREAM, Stream> streams;
};

// Never destroyed: the program never shuts the library down, and the audio
// thread may still be running while static destructors run.
Library& library() {
    static Library* lib = new Library;
    return *lib;
}

DWORD newHandle(Library& lib) {
    do {
        ++lib.lastHandle;
    } while (lib.lastHandle == 0 || lib.samples.count(lib.lastHandle) != 0 ||
             lib.streams.count(lib.lastHandle) != 0);
    return lib.lastHandle;
}

// When no device opens, SDL's audio subsystem is left up rather than shut
// down: shutting its ALSA driver down waits out the device watcher's 100 ms
// nap, a tenth of a second of start-up spent for nothing.
bool openOutput(int freq) {
    // SDL would otherwise take SIGINT and SIGTERM for a quit event that this
    // program never reads, so neither Ctrl-C nor kill would end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 &&
           Mix_OpenAudio(freq, MIX_DEFAULT_FORMAT, 2, kMixerBufferFrames) == 0;
}

// One line per sound file that cannot be used, instead of the decoders' own
// chatter; the program goes on without that sound.
void reportUnusableFile(const void* path, const char* reason) {
    reportLine("%s: not played (%s)", static_cast<const char*>(path), reason);
}

// Only whole files by name are supported: the program never loads from
// memory or from part of a file. Only a regular file is read, as a FIFO
// could keep the mixer waiting for ever. nullptr when the arguments ask for
// more, or after naming a file that is refused.
SDL_RWops* openWholeFile(BOOL mem, const void* file, DWORD offset, DWORD length) {
    if (!library().initialised || mem || file == nullptr || offset != 0 || length != 0) {
        return nullptr;
    }
    const char* path = static_cast<const char*>(file);
    const char* refusal = nullptr;
    FILE* opened = openRegularFile(path, &refusal);
    if (opened == nullptr) {
        reportUnusableFile(path, refusal);
        return nullptr;
    }
    return SDL_RWFromFP(opened, SDL_TRUE);
}

void forgetFinishedPlaybacks(Sample& sample) {
    std::vector<int>& channels = sample.channelsByAge;
    const auto finished = [&sample](int channel) {
        return !Mix_Playing(channel) || Mix_GetChunk(channel) != sample.chunk;
    };
    channels.erase(std::remove_if(channels.begin(), channels.end(), finished), channels.end());
}

BOOL playSample(Sample& sample) {
    forgetFinishedPlaybacks(sample);
    int channel = -1;  // any free one; there is one while under maxPlaybacks
    if (sample.channelsByAge.size() >= sample.maxPlaybacks) {
        if ((sample.flags & BASS_SAMPLE_OVER_POS) == 0) {
            return FALSE;
        }
        channel = sample.channelsByAge.front();
        sample.channelsByAge.erase(sample.channelsByAge.begin());
        Mix_HaltChannel(channel);
    }
    channel = Mix_PlayChannel(channel, sample.chunk, 0);
    if (channel < 0) {
        return FALSE;
    }
    sample.channelsByAge.push_back(channel);
    return TRUE;
}

BOOL playStream(Library& lib, HSTREAM handle, const Stream& stream, BOOL restart) {
    if (lib.playingStream == handle && Mix_PlayingMusic() && !restart) {
        return TRUE;
    }
    const int timesToPlay = stream.loop ? -1 : 1;  // -1: for ever
    if (Mix_PlayMusic(stream.music, timesToPlay) != 0) {
        return FALSE;
    }
    lib.playingStream = handle;
    return TRUE;
}

}  // namespace

BOOL BASS_Init(int device, DWORD freq, DWORD, void*, void*) {
    Library& lib = library();
    if (lib.initialised || (device != 1 && device != -1)) {
        return FALSE;
    }
    quietSoundLibraries();
    if (!openOutput(static_cast<int>(freq))) {
        reportLine("no sound device (%s); running silently", SDL_GetError());
        return FALSE;
    }
    lib.initialised = true;
    return TRUE;
}

HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max,
                        DWORD flags) {
    if (max == 0) {
        return 0;
    }
    SDL_RWops* source = openWholeFile(mem, file, offset, length);
    if (source == nullptr) {
        return 0;
    }
    // Decoded whole here: the file is not needed afterwards.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, SDL_FALSE);
    SDL_RWclose(source);
    if (chunk == nullptr) {
        reportUnusableFile(file, Mix_GetError());
        return 0;
    }
    Library& lib = library();
    lib.reservedChannels += static_cast<int>(max);
    Mix_AllocateChannels(lib.reservedChannels);
    const HSAMPLE handle = newHandle(lib);
    lib.samples[handle] = Sample{chunk, max, flags, {}};
    return handle;
}

BOOL BASS_StreamFree(HSTREAM handle) {
    Library& lib = library();
    const auto found = lib.streams.find(handle);
    if (found == lib.streams.end()) {
        return FALSE;
    }
    Mix_FreeMusic(found->second.music);  // halts it first if it is playing
    lib.streams.erase(found);
    if (lib.playingStream == handle) {
        lib.playingStream = 0;
    }
    return TRUE;
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags) {
    SDL_RWops* source = openWholeFile(mem, file, offset, length);
    if (source == nullptr) {
        return 0;
    }
    // Read while it plays: the music closes the file when it is freed.
    Mix_Music* music = Mix_LoadMUS_RW(source, SDL_TRUE);
    if (music == nullptr) {
        reportUnusableFile(file, Mix_GetError());
        return 0;
    }
    Library& lib = library();
    const HSTREAM handle = newHandle(lib);
    lib.streams[handle] = Stream{music, (flags & BASS_SAMPLE_LOOP) != 0};
    return handle;
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    Library& lib = library();
    const auto stream = lib.streams.find(handle);
    if (stream != lib.streams.end()) {
        return playStream(lib, handle, stream->second, restart);
    }
    const auto sample = lib.samples.find(handle);
    if (sample != lib.samples.end()) {
        return playSample(sample->second);
    }
    return FALSE;
}
