// sound_recorder.cpp -- the recording definitions of the sound library's calls.
#include "tests/support/sound_recorder.h"

#include <utility>

#include "platform/sound_library.h"

struct FSOUND_STREAM {};
struct FSOUND_SAMPLE {};
struct FSOUND_DSPUNIT {};

static FSOUND_STREAM theStream;
static FSOUND_SAMPLE theSample;
static FSOUND_DSPUNIT theSpectrum;

SoundRecorder& soundRecorder() {
  static SoundRecorder recorder;
  return recorder;
}

std::vector<std::string> SoundRecorder::take() { return std::exchange(calls, {}); }

static std::string text(int value) { return std::to_string(value); }
static std::string text(unsigned value) { return std::to_string(value); }
static std::string text(const char* path) { return path ? path : "(null path)"; }
static std::string text(const void* p) {
  if (!p) return "null";
  if (p == &theStream) return "stream";
  if (p == &theSample) return "sample";
  if (p == &theSpectrum) return "fft";
  return "handle";
}

template <typename... Args>
static void record(const char* name, Args... args) {
  std::string list;
  for (const std::string& arg : std::vector<std::string>{text(args)...})
    list += (list.empty() ? "" : ", ") + arg;
  soundRecorder().calls.push_back(std::string(name) + "(" + list + ")");
}

signed char FSOUND_Init(int rate, int channels, unsigned flags) {
  record("Init", rate, channels, flags);
  return soundRecorder().initResult;
}
FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit() {
  record("DSP_GetFFTUnit");
  return &theSpectrum;
}
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char on) {
  record("DSP_SetActive", unit, int(on));
  return 1;
}
signed char FSOUND_SetHWND(void* window) {
  record("SetHWND", window);
  return 1;
}
FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned mode, int offset, int length) {
  record("Stream_Open", path, mode, offset, length);
  return soundRecorder().openFails ? nullptr : &theStream;
}
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  record("Stream_Play", channel, stream);
  return soundRecorder().nextChannel;
}
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
  record("Stream_Stop", stream);
  return 1;
}
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  record("Stream_Close", stream);
  return 1;
}
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* path, unsigned mode, int offset, int length) {
  record("Sample_Load", index, path, mode, offset, length);
  return soundRecorder().loadFails ? nullptr : &theSample;
}
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  record("PlaySound", channel, sample);
  return soundRecorder().nextChannel;
}
signed char FSOUND_SetVolume(int channel, int volume) {
  record("SetVolume", channel, volume);
  return 1;
}
