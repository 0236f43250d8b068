// sound_maker_test.cpp -- the sounds the sound maker writes: plain 16-bit PCM WAV at
// 44100 Hz that the game can load, tunes that loop without a step at the seam and
// without fading out, effects that start and end softly, a steering sound that stays
// low and even when it is restarted every tick, and the same files on every build.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string SOUNDS = std::string(ZARNOK_ASSET_DIR) + "/sounds/";

struct WaveFile {
  uint16_t format = 0, channels = 0, bitsPerSample = 0, blockAlign = 0;
  uint32_t rate = 0, byteRate = 0;
  std::vector<int16_t> samples;
  std::string problem;  // empty when the file is well formed
};

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + size_t(i)];
  return v;
}

// Reads a RIFF WAVE file chunk by chunk; every chunk must lie inside the file.
WaveFile readWave(const std::string& path) {
  WaveFile w;
  std::vector<uint8_t> b = readBytes(path);
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
    w.problem = "no RIFF WAVE header";
    return w;
  }
  if (le(b, 4, 4) != b.size() - 8) w.problem = "RIFF size does not match the file size";
  bool haveFormat = false, haveData = false;
  for (size_t at = 12; at + 8 <= b.size();) {
    std::string id(b.begin() + long(at), b.begin() + long(at) + 4);
    size_t size = le(b, at + 4, 4);
    if (size > b.size() - at - 8) {
      w.problem = "chunk " + id + " runs past the end";
      return w;
    }
    const size_t body = at + 8;
    if (id == "fmt " && size >= 16) {
      haveFormat = true;
      w.format = uint16_t(le(b, body, 2));
      w.channels = uint16_t(le(b, body + 2, 2));
      w.rate = le(b, body + 4, 4);
      w.byteRate = le(b, body + 8, 4);
      w.blockAlign = uint16_t(le(b, body + 12, 2));
      w.bitsPerSample = uint16_t(le(b, body + 14, 2));
    } else if (id == "data") {
      haveData = true;
      if (size % 2 != 0) w.problem = "odd data size";
      for (size_t i = 0; i + 1 < size; i += 2) w.samples.push_back(int16_t(le(b, body + i, 2)));
    }
    at = body + size + (size & 1);
  }
  if (!haveFormat || !haveData) w.problem = "missing fmt or data chunk";
  return w;
}

double rms(const std::vector<int16_t>& s, size_t from, size_t count) {
  double sum = 0.0;
  for (size_t i = from; i < from + count; ++i) sum += double(s[i]) * s[i];
  return std::sqrt(sum / double(count));
}

int peak(const std::vector<int16_t>& s) {
  int top = 0;
  for (int16_t v : s) top = std::max(top, std::abs(int(v)));
  return top;
}

// The value that `fraction` of the magnitudes of the (order-th) differences stay under.
double differenceQuantile(const std::vector<int16_t>& s, int order, double fraction) {
  std::vector<double> d;
  for (size_t i = 2; i < s.size(); ++i) {
    double first = double(s[i]) - s[i - 1];
    double second = first - (double(s[i - 1]) - s[i - 2]);
    d.push_back(std::fabs(order == 1 ? first : second));
  }
  std::nth_element(d.begin(), d.begin() + long(fraction * double(d.size())), d.end());
  return d[size_t(fraction * double(d.size()))];
}

struct Expected {
  const char* file;
  double minSeconds, maxSeconds;
};
const Expected ALL_SOUNDS[] = {{"bgm_main.wav", 8.0, 60.0},
                               {"bgm_game.wav", 8.0, 60.0},
                               {"move.wav", 0.02, 0.08},
                               {"crash.wav", 0.3, 1.5}};

TEST(SoundMakerTest, WritesPlainMonoPcmWaveFilesOfTheRightLength) {
  for (const Expected& e : ALL_SOUNDS) {
    SCOPED_TRACE(e.file);
    WaveFile w = readWave(SOUNDS + e.file);
    ASSERT_EQ(w.problem, "");
    EXPECT_EQ(w.format, 1);  // PCM
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.rate, 44100u);
    EXPECT_EQ(w.bitsPerSample, 16);
    EXPECT_EQ(w.blockAlign, 2);
    EXPECT_EQ(w.byteRate, 88200u);
    double seconds = double(w.samples.size()) / 44100.0;
    EXPECT_GE(seconds, e.minSeconds);
    EXPECT_LE(seconds, e.maxSeconds);
    // Loud enough to be heard, and never clipped.
    EXPECT_GT(rms(w.samples, 0, w.samples.size()), 0.05 * 32767);
    EXPECT_LT(peak(w.samples), 32767);
  }
}

TEST(SoundMakerTest, TunesLoopWithoutAStepOrAGapAtTheSeam) {
  for (const char* file : {"bgm_main.wav", "bgm_game.wav"}) {
    SCOPED_TRACE(file);
    WaveFile w = readWave(SOUNDS + file);
    ASSERT_EQ(w.problem, "");
    const std::vector<int16_t>& s = w.samples;
    const size_t n = s.size();
    ASSERT_GT(n, 44100u);
    // Across the seam the wave steps and bends no more than almost anywhere inside.
    double step = std::fabs(double(s[0]) - s[n - 1]);
    double bend = std::fabs(double(s[0]) - 2.0 * s[n - 1] + s[n - 2]);
    EXPECT_LE(step, differenceQuantile(s, 1, 0.95));
    EXPECT_LE(bend, differenceQuantile(s, 2, 0.95));
    // The music plays on through the seam instead of fading out and in.
    double whole = rms(s, 0, n);
    EXPECT_GT(rms(s, n - 4410, 4410), 0.4 * whole);
    EXPECT_GT(rms(s, 0, 4410), 0.4 * whole);
  }
  // The two tunes are different music.
  WaveFile title = readWave(SOUNDS + "bgm_main.wav"), game = readWave(SOUNDS + "bgm_game.wav");
  EXPECT_NE(title.samples.size(), game.samples.size());
}

TEST(SoundMakerTest, EffectsStartAndEndWithoutAClick) {
  for (const char* file : {"move.wav", "crash.wav"}) {
    SCOPED_TRACE(file);
    WaveFile w = readWave(SOUNDS + file);
    ASSERT_EQ(w.problem, "");
    ASSERT_GT(w.samples.size(), 100u);
    EXPECT_LT(std::abs(int(w.samples.front())), 300);
    EXPECT_LT(std::abs(int(w.samples.back())), 300);
    EXPECT_LT(std::abs(int(w.samples[w.samples.size() - 2])), 600);
  }
  // The steering sound swells in: its first millisecond is far below its peak.
  WaveFile move = readWave(SOUNDS + "move.wav");
  std::vector<int16_t> head(move.samples.begin(), move.samples.begin() + 44);
  EXPECT_LT(peak(head), peak(move.samples) / 4);
}

TEST(SoundMakerTest, SteeringSoundRestartedEveryTickStaysLowAndEven) {
  WaveFile move = readWave(SOUNDS + "move.wav");
  ASSERT_EQ(move.problem, "");
  // Held steering: a new copy every 1/60 s at volume 50 of 255, for one second.
  const size_t tick = 735, length = 44100;
  const double gain = 50.0 / 255.0;
  std::vector<double> mix(length + move.samples.size(), 0.0);
  for (size_t start = 0; start < length; start += tick) {
    for (size_t i = 0; i < move.samples.size(); ++i) mix[start + i] += gain * move.samples[i];
  }
  double top = 0.0;
  for (double v : mix) top = std::max(top, std::fabs(v));
  EXPECT_LT(top, 0.35 * 32767) << "the held steering sound would drown the music";
  // Tick by tick the loudness hardly changes once the copies overlap: no rattle.
  std::vector<int16_t> steady;
  for (size_t i = move.samples.size(); i < length; ++i) steady.push_back(int16_t(mix[i]));
  double lowest = 1e9, highest = 0.0;
  for (size_t at = 0; at + tick <= steady.size(); at += tick) {
    double level = rms(steady, at, tick);
    lowest = std::min(lowest, level);
    highest = std::max(highest, level);
  }
  EXPECT_GT(lowest, 0.02 * 32767);
  EXPECT_LT(highest / lowest, 1.3);
}

TEST(SoundMakerTest, MakesTheSameFilesEveryTime) {
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("zarnok-sounds-" + std::to_string(::getpid()));
  std::string command = std::string(ZARNOK_SOUND_MAKER) + " " + folder.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (const Expected& e : ALL_SOUNDS) {
    SCOPED_TRACE(e.file);
    EXPECT_TRUE(readBytes((folder / e.file).string()) == readBytes(SOUNDS + e.file));
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
