// AudioPlayer: the program's only calls into the sound library. Results are
// not checked: a failed call leaves a 0 handle and the next call fails quietly.
#include "AudioPlayer.h"

namespace {

const int kDefaultDevice = 1;
const DWORD kOutputRate = 44100;
const DWORD kMaxClickPlaybacks = 4;

}  // namespace

AudioPlayer& AudioPlayer::instance() {
    static AudioPlayer* player = new AudioPlayer;
    return *player;
}

void AudioPlayer::start() {
    BASS_Init(kDefaultDevice, kOutputRate, 0, nullptr, nullptr);
    clickSample =
        BASS_SampleLoad(false, "./audio/click.wav", 0, 0, kMaxClickPlaybacks, BASS_SAMPLE_OVER_POS);
}

void AudioPlayer::playMusic(const char* path) {
    BASS_StreamFree(musicStream);
    musicStream = BASS_StreamCreateFile(false, path, 0, 0, BASS_SAMPLE_LOOP | BASS_SAMPLE_FX);
    BASS_ChannelPlay(musicStream, false);
}
