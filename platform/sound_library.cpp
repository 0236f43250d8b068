// sound_library.cpp -- the sound-library calls over SDL2_mixer. Music streams and
// effect samples are both decoded into mixer chunks. Mixer channel 0 is kept for the
// music stream; effects take the free channels 1 upwards (the oldest effect gives way
// when all are busy), so that every effect overlaps the music and the other effects.
// The channel number handed out is the mixer's own, so a volume call reaches exactly
// the sound that was started on it. Every sound starts at full volume; volumes
// 0..255 map onto the mixer's 0..128. Without an audio device (no sound card) the
// start-up falls back to SDL's silent dummy driver, so everything works and nothing is
// heard, unless SDL_AUDIODRIVER or SDL's hint names a driver: a named driver that
// cannot start is a failure. After a failed start every call is accepted without
// effect. The system's complaints about a missing card are kept off standard error.
#include "platform/sound_library.h"

#define SDL_MAIN_HANDLED  // the program's own main, not SDL's (which Windows would get)
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "platform/native.h"

struct FSOUND_STREAM {
  Mix_Chunk* chunk;  // the whole stream, decoded
  int loops;         // -1 forever, 0 once
  int channel;       // where it was last started, -1 = never
};

struct FSOUND_SAMPLE {
  Mix_Chunk* chunk;
  int loops;
};

struct FSOUND_DSPUNIT {
  signed char active;  // switched on or off; nothing reads the spectrum
};

namespace {

constexpr int MUSIC_CHANNEL = 0;
constexpr int EFFECT_GROUP = 1;  // mixer group tag of the effect channels
// About 12 ms at 44100 Hz. A sound starts at the next buffer, so a short buffer also
// keeps the steering sound, restarted every 1/60 s, close to an even rush.
constexpr int BUFFER_FRAMES = 512;

bool audioOpen = false;
bool startFailed = false;  // a failed start is not tried again
bool closeRegistered = false;
int channelCount = 0;
FSOUND_DSPUNIT spectrumUnit{0};
void* attachedWindow = nullptr;

// Held through pointers that are never freed: the mixer thread may still play a
// sample while the program's static objects are being destroyed.
std::unordered_map<std::string, FSOUND_SAMPLE*>* samplesByPath = nullptr;

bool driverNamed() {
  const char* env = std::getenv("SDL_AUDIODRIVER");
  const char* hint = SDL_GetHint(SDL_HINT_AUDIODRIVER);
  return (env != nullptr && *env != '\0') || (hint != nullptr && *hint != '\0');
}

bool startMixer(int mixRate) {
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, 2, BUFFER_FRAMES) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}

void closeAudioAtExit() {
  if (!audioOpen) return;
  audioOpen = false;
  Mix_HaltChannel(-1);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool validChannel(int channel) { return audioOpen && channel >= 0 && channel < channelCount; }

// Starts chunk on channel at full volume. The volume is set while the channel is
// idle, so the mixer never plays the new sound at the volume of the one before.
int startChunk(int channel, Mix_Chunk* chunk, int loops) {
  Mix_HaltChannel(channel);
  Mix_Volume(channel, MIX_MAX_VOLUME);
  return Mix_PlayChannel(channel, chunk, loops);
}

int freeEffectChannel() {
  int channel = Mix_GroupAvailable(EFFECT_GROUP);
  if (channel < 0) channel = Mix_GroupOldest(EFFECT_GROUP);
  return channel;
}

}  // namespace

signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags) {
  (void)flags;
  if (audioOpen) return 1;
  if (startFailed) return 0;
  // SDL's signal handlers would swallow SIGINT and SIGTERM: the GLUT loop never
  // looks at SDL's event queue.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  quietNativeSoundErrors(true);
  bool started = startMixer(mixRate);
  if (!started && !driverNamed()) {
    // With no driver asked for, SDL may settle on one that starts but cannot open a
    // device (no sound card): play into the silent driver instead. A driver that
    // was asked for by name and fails is a failure.
    // (An empty SDL_AUDIODRIVER names no driver but would still hide a plain hint.)
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    started = startMixer(mixRate);
  }
  quietNativeSoundErrors(false);
  if (!started) {
    startFailed = true;
    return 0;
  }
  channelCount = Mix_AllocateChannels(std::max(2, maxSoftwareChannels));
  Mix_ReserveChannels(1);
  Mix_GroupChannels(MUSIC_CHANNEL + 1, channelCount - 1, EFFECT_GROUP);
  Mix_Volume(-1, MIX_MAX_VOLUME);
  if (samplesByPath == nullptr) samplesByPath = new std::unordered_map<std::string, FSOUND_SAMPLE*>();
  audioOpen = true;
  if (!closeRegistered) {
    closeRegistered = true;
    std::atexit(closeAudioAtExit);
  }
  return 1;
}

FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit() { return &spectrumUnit; }

signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active) {
  if (unit == nullptr) return 0;
  unit->active = active;
  return 1;
}

signed char FSOUND_SetHWND(void* windowHandle) {
  attachedWindow = windowHandle;  // nothing to attach to: kept for completeness
  return 1;
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned int mode, int offset, int length) {
  (void)offset;
  (void)length;
  if (!audioOpen || path == nullptr) return nullptr;
  Mix_Chunk* chunk = Mix_LoadWAV(nativeFilePath(path).c_str());
  if (chunk == nullptr) return nullptr;
  auto* stream = new FSOUND_STREAM{chunk, (mode & FSOUND_LOOP_NORMAL) ? -1 : 0, -1};
  return stream;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  if (!audioOpen || stream == nullptr) return -1;
  if (channel == FSOUND_FREE) {
    // The music channel, unless another stream is playing there.
    bool musicBusy = Mix_Playing(MUSIC_CHANNEL) && Mix_GetChunk(MUSIC_CHANNEL) != stream->chunk;
    channel = musicBusy ? freeEffectChannel() : MUSIC_CHANNEL;
  }
  if (!validChannel(channel)) return -1;
  stream->channel = startChunk(channel, stream->chunk, stream->loops);
  return stream->channel;
}

signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
  if (!audioOpen || stream == nullptr) return 0;
  if (stream->channel >= 0 && Mix_GetChunk(stream->channel) == stream->chunk) {
    Mix_HaltChannel(stream->channel);
  }
  stream->channel = -1;
  return 1;
}

signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  if (!audioOpen || stream == nullptr) return 0;
  FSOUND_Stream_Stop(stream);
  Mix_FreeChunk(stream->chunk);  // halts any channel still playing it
  delete stream;
  return 1;
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* path, unsigned int mode, int offset, int length) {
  (void)index;
  (void)offset;
  (void)length;
  if (!audioOpen || path == nullptr) return nullptr;
  int loops = (mode & FSOUND_LOOP_NORMAL) ? -1 : 0;
  // One decoded sample per file: the steering sound is asked for sixty times a second.
  std::string key = (loops ? "loop:" : "once:") + nativeFilePath(path);
  auto found = samplesByPath->find(key);
  if (found != samplesByPath->end()) return found->second;
  Mix_Chunk* chunk = Mix_LoadWAV(nativeFilePath(path).c_str());
  if (chunk == nullptr) return nullptr;  // not remembered: the file may appear later
  auto* sample = new FSOUND_SAMPLE{chunk, loops};
  samplesByPath->emplace(key, sample);
  return sample;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  if (!audioOpen || sample == nullptr) return -1;
  if (channel == FSOUND_FREE) channel = freeEffectChannel();
  if (!validChannel(channel)) return -1;
  return startChunk(channel, sample->chunk, sample->loops);
}

signed char FSOUND_SetVolume(int channel, int volume) {
  // Never the mixer's "all channels" (-1): that is the channel of a sound that did not start.
  if (!validChannel(channel)) return 0;
  int level = std::clamp(volume, 0, 255);
  Mix_Volume(channel, int(std::lround(level * double(MIX_MAX_VOLUME) / 255.0)));
  return 1;
}
