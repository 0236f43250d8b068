// sound_library.h -- our own implementation of the small sound-library interface the
// game was written against: start-up, one music stream, one-shot samples, volume.
// Handles are opaque pointers; a null handle, and the channel returned for one, are
// accepted everywhere without effect. Paths may use '\' as separator.
// FSOUND_Init opens the mixer; on a machine without a sound card it falls back to
// SDL's silent dummy driver, unless a driver is named (SDL_AUDIODRIVER or SDL's hint),
// and returns 0 only when no driver starts; every later call is then accepted
// without effect.
#pragma once

struct FSOUND_STREAM;   // an open music stream
struct FSOUND_SAMPLE;   // a decoded effect sample
struct FSOUND_DSPUNIT;  // the spectrum unit (accepted, does nothing audible)

constexpr int FSOUND_FREE = -1;                   // pick a free channel or sample slot
constexpr unsigned int FSOUND_NORMAL = 0x130;     // 16 bits, signed, mono, not looping
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x2;  // forward looping

signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags);  // non-zero on success
FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit();                                            // the spectrum unit
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active);         // switch a unit on/off
signed char FSOUND_SetHWND(void* windowHandle);                                     // window to attach to
FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned int mode, int offset,
                                  int length);               // null on failure
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);  // channel number, -1 on failure
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream);       // stop playing
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);      // stop and free
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* path, unsigned int mode, int offset,
                                  int length);             // null on failure
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);  // channel number, -1 on failure
signed char FSOUND_SetVolume(int channel, int volume);     // volume 0..255
