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

// Records a call and gives its answer.
template <typename Result, typename... Args>
static Result answer(Result result, const char* name, Args... args) {
  record(name, args...);
  return result;
}

signed char FSOUND_Init(int rate, int channels, unsigned flags) {
  return answer(soundRecorder().initResult, "Init", rate, channels, flags);
}
FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit() { return answer(&theSpectrum, "DSP_GetFFTUnit"); }
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char on) {
  return answer<signed char>(1, "DSP_SetActive", unit, int(on));
}
signed char FSOUND_SetHWND(void* window) { return answer<signed char>(1, "SetHWND", window); }
FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned mode, int offset, int length) {
  return answer(&theStream, "Stream_Open", path, mode, offset, length);
}
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  return answer(soundRecorder().nextChannel, "Stream_Play", channel, stream);
}
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
  return answer<signed char>(1, "Stream_Stop", stream);
}
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  return answer<signed char>(1, "Stream_Close", stream);
}
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* path, unsigned mode, int offset, int length) {
  return answer(&theSample, "Sample_Load", index, path, mode, offset, length);
}
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  return answer(soundRecorder().nextChannel, "PlaySound", channel, sample);
}
signed char FSOUND_SetVolume(int channel, int volume) {
  return answer<signed char>(1, "SetVolume", channel, volume);
}
