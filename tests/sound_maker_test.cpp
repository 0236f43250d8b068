// sound_maker_test.cpp -- the sounds the sound maker writes: plain 16-bit PCM WAV at
// 44100 Hz, tunes that loop without a step at the seam and without fading out, effects
// that start and end softly, a steering sound that stays low and even when it is
// restarted every tick, and the same files on every build.
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
using Samples = std::vector<int16_t>;

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The samples of a sound, which must be a plain WAV file: the 44-byte header of mono
// 16-bit PCM at 44100 Hz (sizes: RIFF, format; format, channels, rate, bytes a
// second, block, bits; data), then the samples to the end of the file.
Samples readWave(const std::string& file) {
  const std::vector<uint8_t> b = readBytes(SOUNDS + file);
  if (b.size() < 46 || b.size() % 2 != 0) {
    ADD_FAILURE() << file << ": " << b.size() << " bytes";
    return {};
  }
  auto le = [&](size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + size_t(i)];
    return v;
  };
  const uint32_t data = uint32_t(b.size() - 44);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4) + std::string(b.begin() + 8, b.begin() + 16) +
                std::string(b.begin() + 36, b.begin() + 40),
            "RIFFWAVEfmt data")
      << file;
  EXPECT_EQ((std::vector<uint32_t>{le(4, 4), le(16, 4), le(20, 2), le(22, 2), le(24, 4), le(28, 4), le(32, 2),
                                   le(34, 2), le(40, 4)}),
            (std::vector<uint32_t>{data + 36, 16, 1, 1, 44100, 88200, 2, 16, data}))
      << file;
  Samples samples;
  for (size_t i = 44; i < b.size(); i += 2) samples.push_back(int16_t(le(i, 2)));
  return samples;
}

double rms(const Samples& s, size_t from, size_t count) {
  double sum = 0.0;
  for (size_t i = from; i < from + count; ++i) sum += double(s[i]) * s[i];
  return std::sqrt(sum / double(count));
}

int peak(const Samples& s, size_t count) {
  int top = 0;
  for (size_t i = 0; i < count && i < s.size(); ++i) top = std::max(top, std::abs(int(s[i])));
  return top;
}

const struct {
  const char* file;
  double minSeconds, maxSeconds;
  bool effect;
} ALL_SOUNDS[] = {{"bgm_main.wav", 8.0, 60.0, false},
                  {"bgm_game.wav", 8.0, 60.0, false},
                  {"move.wav", 0.02, 0.08, true},
                  {"crash.wav", 0.3, 1.5, true}};

// Long enough, loud enough and never clipped; effects start and end without a click.
TEST(SoundMakerTest, WritesMonoPcmWaveFilesOfTheRightLengthAndLoudness) {
  for (const auto& sound : ALL_SOUNDS) {
    SCOPED_TRACE(sound.file);
    const Samples s = readWave(sound.file);
    ASSERT_FALSE(s.empty());
    EXPECT_GE(double(s.size()) / 44100.0, sound.minSeconds);
    EXPECT_LE(double(s.size()) / 44100.0, sound.maxSeconds);
    EXPECT_GT(rms(s, 0, s.size()), 0.05 * 32767);
    EXPECT_LT(peak(s, s.size()), 32767);
    if (sound.effect) {
      EXPECT_LT(std::abs(int(s.front())), 300);
      EXPECT_LT(std::abs(int(s.back())), 300);
      EXPECT_LT(std::abs(int(s.end()[-2])), 600);
    }
  }
  // The steering sound swells in: its first millisecond is far below its peak.
  const Samples move = readWave("move.wav");
  EXPECT_LT(peak(move, 44), peak(move, move.size()) / 4);
}

// Across the seam a tune steps and bends no more than at 95% of the places inside,
// and it plays on through the seam instead of fading out and in.
TEST(SoundMakerTest, TunesLoopWithoutAStepOrAGapAtTheSeam) {
  std::vector<size_t> lengths;
  for (const char* file : {"bgm_main.wav", "bgm_game.wav"}) {
    SCOPED_TRACE(file);
    const Samples s = readWave(file);
    const size_t n = s.size();
    ASSERT_GT(n, 44100u);
    std::vector<double> steps, bends;
    for (size_t i = 2; i < n; ++i) {
      steps.push_back(std::fabs(double(s[i]) - s[i - 1]));
      bends.push_back(std::fabs(double(s[i]) - 2.0 * s[i - 1] + s[i - 2]));
    }
    for (auto* d : {&steps, &bends})
      std::nth_element(d->begin(), d->begin() + long(0.95 * double(d->size())), d->end());
    EXPECT_LE(std::fabs(double(s[0]) - s[n - 1]), steps[size_t(0.95 * double(steps.size()))]);
    EXPECT_LE(std::fabs(double(s[0]) - 2.0 * s[n - 1] + s[n - 2]),
              bends[size_t(0.95 * double(bends.size()))]);
    EXPECT_GT(rms(s, n - 4410, 4410), 0.4 * rms(s, 0, n));
    EXPECT_GT(rms(s, 0, 4410), 0.4 * rms(s, 0, n));
    lengths.push_back(n);
  }
  EXPECT_NE(lengths[0], lengths[1]) << "the two tunes are the same music";
}

// Held steering: a new copy every 1/60 s at volume 50 of 255, for one second. Once the
// copies overlap, the loudness hardly changes from tick to tick: no rattle.
TEST(SoundMakerTest, SteeringSoundRestartedEveryTickStaysLowAndEven) {
  const Samples move = readWave("move.wav");
  ASSERT_FALSE(move.empty());
  const size_t tick = 735, length = 44100;
  std::vector<double> mix(length + move.size(), 0.0);
  for (size_t start = 0; start < length; start += tick)
    for (size_t i = 0; i < move.size(); ++i) mix[start + i] += 50.0 / 255.0 * move[i];
  double top = 0.0;
  for (double v : mix) top = std::max(top, std::fabs(v));
  EXPECT_LT(top, 0.35 * 32767) << "the held steering sound would drown the music";
  const Samples steady(mix.begin() + long(move.size()), mix.begin() + long(length));
  double lowest = 1e9, highest = 0.0;
  for (size_t at = 0; at + tick <= steady.size(); at += tick) {
    lowest = std::min(lowest, rms(steady, at, tick));
    highest = std::max(highest, rms(steady, at, tick));
  }
  EXPECT_GT(lowest, 0.02 * 32767);
  EXPECT_LT(highest / lowest, 1.3);
}

TEST(SoundMakerTest, MakesTheSameFilesEveryTime) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("zarnok-sounds-" + std::to_string(::getpid()));
  const std::string command = std::string(ZARNOK_SOUND_MAKER) + " " + folder.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (const auto& sound : ALL_SOUNDS)
    EXPECT_TRUE(readBytes((folder / sound.file).string()) == readBytes(SOUNDS + sound.file)) << sound.file;
  std::filesystem::remove_all(folder);
}

}  // namespace
