// sound_player.cpp -- SoundPlayer and WindowHandleHolder. Every library call is made
// in a fixed order with fixed arguments; nothing but the start-up result is checked.
#include "sound/sound_player.h"

bool SoundPlayer::init() {
  if ((FSOUND_Init(44100, 32, 0) & 0xff) == 0) return false;
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);
  FSOUND_SetHWND(WindowHandleHolder::instance().getHandle());
  channel = -1;
  volume = 255;
  return true;
}

bool SoundPlayer::openMusic(const char* fileName, bool loop) {
  stream = FSOUND_Stream_Open(fileName, loop ? FSOUND_LOOP_NORMAL : FSOUND_NORMAL, 0, 0);
  return true;
}

bool SoundPlayer::playMusic() {
  channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
  FSOUND_SetVolume(channel, volume);
  return true;
}

bool SoundPlayer::stopMusic() {
  if (stream != nullptr) {
    FSOUND_Stream_Stop(stream);
    FSOUND_Stream_Close(stream);
    stream = nullptr;
  }
  return true;
}

bool SoundPlayer::loadEffect(const char* fileName) {
  effectSample = FSOUND_Sample_Load(FSOUND_FREE, fileName, FSOUND_NORMAL, 0, 0);
  return true;
}

bool SoundPlayer::playEffect(int kind) {
  channel = FSOUND_PlaySound(FSOUND_FREE, effectSample);
  if (kind == 0) {
    FSOUND_SetVolume(channel, 50);
  } else if (kind == 1) {
    FSOUND_SetVolume(channel, volume);
  }
  return true;
}

WindowHandleHolder& WindowHandleHolder::instance() {
  static WindowHandleHolder holder;
  return holder;
}

void WindowHandleHolder::setHandle(void* h) { handle = h; }

void* WindowHandleHolder::getHandle() const { return handle; }
