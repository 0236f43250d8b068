// sound_capture.h -- listening to what the mixer plays, for the sound tests: SDL's
// disk driver writes the mix, in real time, as raw 16-bit stereo at 44100 Hz to a
// file; these helpers read it back, load the game's sounds as the mixer gets them,
// and find a sound, sample for sample, in what was played.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace sound_capture {

using Samples = std::vector<double>;
constexpr double FULL_SCALE = 32767.0;

inline size_t frames(double seconds) { return size_t(seconds * 44100.0); }

inline std::string soundPath(const std::string& file) {
  return std::string(ZARNOK_ASSET_DIR) + "/sounds/" + file;
}

// A made sound (16-bit mono) as samples.
inline Samples loadSound(const std::string& file) {
  SDL_AudioSpec wavFormat;
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV(soundPath(file).c_str(), &wavFormat, &buffer, &length) == nullptr) {
    ADD_FAILURE() << "cannot read " << file << ": " << SDL_GetError();
    return {};
  }
  EXPECT_TRUE(wavFormat.format == AUDIO_S16LSB && wavFormat.channels == 1) << file;
  const auto* s = reinterpret_cast<const int16_t*>(buffer);
  Samples samples(s, s + length / 2);
  SDL_FreeWAV(buffer);
  return samples;
}

inline double rms(const Samples& s, size_t from, size_t count) {
  double sum = 0.0;
  for (size_t i = from; i < from + count && i < s.size(); ++i) sum += s[i] * s[i];
  return count ? std::sqrt(sum / double(count)) : 0.0;
}

inline Samples slice(const Samples& s, size_t from, size_t count) {
  from = std::min(from, s.size());
  return Samples(s.begin() + long(from), s.begin() + long(std::min(s.size(), from + count)));
}

// Where `pattern`, scaled by `gain`, fits best into `signal` (trying the offsets
// from..to), and how much is left over there relative to the pattern's energy.
struct Fit {
  size_t offset = 0;
  double residue = 1e9;
};

inline Fit locate(const Samples& signal, const Samples& pattern, double gain, size_t from, size_t to) {
  Fit best;
  double energy = 0.0;
  for (double p : pattern) energy += gain * p * gain * p;
  if (energy <= 0.0) return best;
  for (size_t at = from; at <= to && at + pattern.size() <= signal.size(); ++at) {
    double error = 0.0;
    for (size_t i = 0; i < pattern.size() && error < best.residue * energy; ++i) {
      const double d = signal[at + i] - gain * pattern[i];
      error += d * d;
    }
    if (error / energy < best.residue) best = {at, error / energy};
  }
  return best;
}

// The file the disk driver writes to: a fresh temporary file, removed at the end.
class DiskCapture {
 public:
  DiskCapture() {
    char path[] = "/tmp/zarnok-sound-capture-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0) close(fd);
    path_ = path;
  }
  ~DiskCapture() { std::remove(path_.c_str()); }
  DiskCapture(const DiskCapture&) = delete;
  DiskCapture& operator=(const DiskCapture&) = delete;

  const std::string& path() const { return path_; }

  // Frames written so far.
  size_t written() const {
    struct stat st;
    return stat(path_.c_str(), &st) == 0 ? size_t(st.st_size) / 4 : 0;
  }

  // The left channel of frames first..first+count, once the driver has written them;
  // mono sounds must come out the same on both sides.
  Samples read(size_t first, size_t count) const {
    for (int waited = 0; written() < first + count; waited += 10) {
      if (waited > 8000) {
        ADD_FAILURE() << "the disk driver stopped writing at frame " << written();
        break;
      }
      SDL_Delay(10);
    }
    std::ifstream in(path_, std::ios::binary);
    in.seekg(std::streamoff(first * 4));
    std::vector<int16_t> raw(count * 2);
    in.read(reinterpret_cast<char*>(raw.data()), std::streamsize(raw.size() * 2));
    raw.resize(size_t(in.gcount()) / 2);
    Samples left;
    size_t unequal = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
      left.push_back(raw[i]);
      unequal += raw[i] != raw[i + 1];
    }
    EXPECT_EQ(unequal, 0u) << "left and right differ";
    return left;
  }

 private:
  std::string path_;
};

}  // namespace sound_capture
