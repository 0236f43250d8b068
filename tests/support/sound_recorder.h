// sound_recorder.h -- the one test stand-in at the sound library's call boundary. A test that
// links zarnok_sound_recorder gets these definitions of the library's calls: each call is logged
// as "Name(arg, arg)" (handles by role: "stream", "sample", "fft", "null", else "handle") and
// answers with the results set below. Tests may log their own events into the same sequence.
#pragma once

#include <string>
#include <vector>

struct SoundRecorder {
  signed char initResult = 1;  // FSOUND_Init's answer
  int nextChannel = 7;         // what Stream_Play and PlaySound return
  std::vector<std::string> calls;

  void reset() { *this = SoundRecorder(); }                       // results back to success, log empty
  void log(const std::string& event) { calls.push_back(event); }  // a test's own entry
  std::vector<std::string> take();                                // the log so far, emptied
};

SoundRecorder& soundRecorder();  // the process's one recorder
