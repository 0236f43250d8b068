// sound_player.h -- the game's one object over the sound library: a looping music
// stream and one-shot effect samples; and the holder of the window handle that the
// library is started with.
#pragma once

#include "platform/sound_library.h"

class SoundPlayer {
 public:
  bool init();                                      // start the library; false if it cannot
  bool openMusic(const char* fileName, bool loop);  // open the music stream (not played yet)
  bool playMusic();                                 // play the open stream at `volume`
  bool stopMusic();                                 // stop and close the stream, if any
  bool loadEffect(const char* fileName);            // load the next effect sample
  bool playEffect(int kind);                        // 0: volume 50, 1: `volume`, other: default

  FSOUND_STREAM* stream = nullptr;        // open music stream, null = none
  int channel = -1;                       // channel of the sound started last
  int volume = 255;                       // volume of the music and of loud effects
  FSOUND_SAMPLE* effectSample = nullptr;  // sample loaded last
  int musicMode = 0;                      // 0 title music, 1 game music, other none
};

class WindowHandleHolder {
 public:
  static WindowHandleHolder& instance();  // the program-wide holder
  void setHandle(void* h);                // store the window handle
  void* getHandle() const;                // the stored handle (null until set)

 private:
  void* handle = nullptr;
};
