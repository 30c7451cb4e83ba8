/* The five BASS sound-library entry points the program uses, with BASS's own
 * names, argument lists, 32-bit handles and flag values, implemented over
 * SDL2_mixer (bass.cpp). Callable from C and C++.
 *
 * Every call fails quietly: a bad argument, an unknown handle or handle 0
 * gives FALSE (or handle 0) and changes nothing. The one exception is a sound
 * file that cannot be loaded, which is named in one line on stderr; the
 * decoders underneath never print anything of their own, even for a file
 * damaged in the middle. */
#ifndef TUMBLEWELL_BASS_H
#define TUMBLEWELL_BASS_H

#include <stdint.h>

#ifdef _WIN32
/* Windows' own, as every file that also includes windows.h sees them. */
#include <wtypes.h>
#else
typedef uint32_t DWORD;
typedef int BOOL;
#endif
typedef DWORD HSAMPLE;
typedef DWORD HSTREAM;

#ifdef __cplusplus
extern "C" {
#endif

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define BASS_SAMPLE_LOOP 4           /* a stream starts again at its end, without a gap */
#define BASS_SAMPLE_FX 0x80          /* effects may be applied; accepted, none exist here */
#define BASS_SAMPLE_OVER_POS 0x20000 /* a full sample replaces its longest-playing playback */

/* Opens the output at `freq` Hz. Device 1 (or -1) is the default output device;
 * other device numbers fail. Respects SDL_AUDIODRIVER. Without a working device
 * it says so in one line on stderr and fails; every later call then fails
 * quietly, so a program that goes on regardless runs silently. FALSE if
 * already initialised. */
BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, void* dsguid);

/* Loads a whole sound file (mem FALSE, offset and length 0; other forms are not
 * supported and give 0) as a sample with at most `max` simultaneous playbacks.
 * Only a regular file is read: a FIFO or a device is named and refused.
 * BASS_ChannelPlay on the sample starts a new playback; when `max` are already
 * running it fails, unless `flags` has BASS_SAMPLE_OVER_POS, in which case the
 * playback that has played longest is replaced. 0 on any failure. */
HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max,
                        DWORD flags);

/* Stops the stream if it is playing and releases it. */
BOOL BASS_StreamFree(HSTREAM handle);

/* Opens a sound file (WAV, MP3, ...) as a stream decoded while it plays; same
 * file forms as BASS_SampleLoad. BASS_SAMPLE_LOOP makes it loop. One stream
 * sounds at a time: playing a stream stops any other. 0 on any failure. */
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags);

/* Starts a stream or a new playback of a sample at once; it then plays on by
 * itself. A stream already playing goes on unless `restart`, which starts it
 * again from the beginning. */
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);

#ifdef __cplusplus
}
#endif

#endif
