// sound_library_test.cpp -- the sound library over the real SDL2_mixer, heard through
// SDL's disk driver: what the mixer plays is written, in real time, as raw 16-bit
// stereo to a file, where the test finds the game's own sounds sample for sample.
// Also the start-up without a usable driver, in fresh processes of their own.
#include "platform/sound_library.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/sound_capture.h"

namespace {

using namespace sound_capture;

// ---------------------------------------------------------------- the disk driver

class SoundLibraryTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    disk = std::make_unique<DiskCapture>();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", disk->path().c_str(), 1);
    started = FSOUND_Init(44100, 32, 0) != 0;
  }

  void SetUp() override {
    ASSERT_TRUE(started) << "the sound library did not start on SDL's disk driver: " << SDL_GetError();
    // The game names its sounds relative to its folder, with a backslash.
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    previousFolder = here;
    ASSERT_EQ(chdir(ZARNOK_ASSET_DIR), 0);
  }
  void TearDown() override {
    Mix_HaltChannel(-1);  // silence for the next test, whatever this one left playing
    EXPECT_EQ(chdir(previousFolder.c_str()), 0);
  }

  static size_t written() { return disk->written(); }
  static std::vector<double> capture(size_t first, size_t count) { return disk->read(first, count); }

  static FSOUND_STREAM* startMusic(const char* path, int* channel) {
    FSOUND_STREAM* stream = FSOUND_Stream_Open(path, FSOUND_LOOP_NORMAL, 0, 0);
    *channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
    FSOUND_SetVolume(*channel, 255);
    return stream;
  }

  static void closeMusic(FSOUND_STREAM* stream) {
    EXPECT_TRUE(FSOUND_Stream_Stop(stream));
    EXPECT_TRUE(FSOUND_Stream_Close(stream));
  }

  // Left open to the end: the mixer goes on writing until the program exits.
  static inline std::unique_ptr<DiskCapture> disk;
  static inline bool started = false;
  std::string previousFolder;
};

TEST_F(SoundLibraryTest, OpensTheMixerAsAskedAndStartsOnlyOnce) {
  int rate = 0, outputs = 0;
  Uint16 format = 0;
  ASSERT_EQ(Mix_QuerySpec(&rate, &format, &outputs), 1);
  EXPECT_EQ(rate, 44100);
  EXPECT_EQ(format, AUDIO_S16LSB);
  EXPECT_EQ(outputs, 2);
  EXPECT_EQ(Mix_AllocateChannels(-1), 32);

  int channel = -1;
  FSOUND_STREAM* title = startMusic("sounds\\bgm_main.wav", &channel);
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(FSOUND_Init(22050, 8, 0), 1);
  ASSERT_EQ(Mix_QuerySpec(&rate, &format, &outputs), 1);
  EXPECT_EQ(rate, 44100);
  EXPECT_EQ(Mix_AllocateChannels(-1), 32);
  EXPECT_TRUE(Mix_Playing(channel)) << "starting again stopped the music";
  closeMusic(title);
}

TEST_F(SoundLibraryTest, TitleMusicIsHeardFromItsBeginning) {
  const std::vector<double> tune = loadSound("bgm_main.wav");
  size_t before = written();
  int channel = -1;
  FSOUND_STREAM* title = startMusic("sounds\\bgm_main.wav", &channel);
  ASSERT_NE(title, nullptr);
  EXPECT_GE(channel, 0);

  std::vector<double> heard = capture(before, frames(0.7));
  Fit start = locate(heard, slice(tune, 0, 4096), 1.0, 0, frames(0.3));
  EXPECT_LT(start.residue, 1e-3) << "the title tune's first notes are not in the output";
  // From its start on, the output is the tune at full volume, and clearly audible.
  Fit body = locate(heard, slice(tune, 0, frames(0.35)), 1.0, start.offset, start.offset);
  EXPECT_LT(body.residue, 1e-3);
  EXPECT_GT(rms(heard, start.offset, frames(0.35)), 0.05 * FULL_SCALE);
  closeMusic(title);
}

TEST_F(SoundLibraryTest, SwitchingMusicReplacesTheTitleTuneByTheGameTune) {
  const std::vector<double> titleTune = loadSound("bgm_main.wav");
  const std::vector<double> gameTune = loadSound("bgm_game.wav");
  size_t before = written();
  int titleChannel = -1;
  FSOUND_STREAM* title = startMusic("sounds\\bgm_main.wav", &titleChannel);
  ASSERT_NE(title, nullptr);
  std::vector<double> heard = capture(before, frames(0.3));
  EXPECT_LT(locate(heard, slice(titleTune, 0, 4096), 1.0, 0, frames(0.2)).residue, 1e-3);

  // The game's music switch: stop and close, open the other tune, play it.
  closeMusic(title);
  size_t switched = written();
  int gameChannel = -1;
  FSOUND_STREAM* game = startMusic("sounds\\bgm_game.wav", &gameChannel);
  ASSERT_NE(game, nullptr);
  EXPECT_EQ(gameChannel, titleChannel) << "music should keep its own channel";

  heard = capture(switched, frames(0.7));
  Fit start = locate(heard, slice(gameTune, 0, 4096), 1.0, 0, frames(0.3));
  EXPECT_LT(start.residue, 1e-3) << "the game tune does not start from its beginning";
  // Nothing of the title tune is left under it: the output is the game tune alone.
  Fit alone = locate(heard, slice(gameTune, 0, frames(0.35)), 1.0, start.offset, start.offset);
  EXPECT_LT(alone.residue, 1e-3);
  closeMusic(game);
}

TEST_F(SoundLibraryTest, EffectMixesOverTheMusic) {
  const std::vector<double> gameTune = loadSound("bgm_game.wav");
  const std::vector<double> crash = loadSound("crash.wav");
  size_t before = written();
  int musicChannel = -1;
  FSOUND_STREAM* game = startMusic("sounds\\bgm_game.wav", &musicChannel);
  ASSERT_NE(game, nullptr);
  capture(before, frames(0.2));

  FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, "sounds\\crash.wav", FSOUND_NORMAL, 0, 0);
  ASSERT_NE(sample, nullptr);
  size_t effectFrom = written() - before;
  int effectChannel = FSOUND_PlaySound(FSOUND_FREE, sample);
  EXPECT_TRUE(FSOUND_SetVolume(effectChannel, 255));
  EXPECT_GE(effectChannel, 0);
  EXPECT_NE(effectChannel, musicChannel);

  std::vector<double> heard = capture(before, effectFrom + frames(0.7));
  Fit music = locate(heard, slice(gameTune, 0, 4096), 1.0, 0, frames(0.2));
  ASSERT_LT(music.residue, 1e-3) << "the game tune is not in the output";
  // Take the music away: what is left from the effect's start on is the crash.
  std::vector<double> rest(heard.size(), 0.0);
  for (size_t i = music.offset; i < heard.size(); ++i) rest[i] = heard[i] - gameTune[i - music.offset];
  Fit effect = locate(rest, slice(crash, 0, frames(0.3)), 1.0, effectFrom, effectFrom + frames(0.3));
  EXPECT_LT(effect.residue, 0.02) << "the crash is not heard over the music";
  // The music goes on under the crash, and the mix is louder than the music alone.
  EXPECT_LT(rms(rest, music.offset, effect.offset - music.offset), 1.0);
  double mixed = rms(heard, effect.offset, frames(0.2));
  double musicAlone = rms(slice(gameTune, effect.offset - music.offset, frames(0.2)), 0, frames(0.2));
  EXPECT_GT(mixed, 1.2 * musicAlone);
  closeMusic(game);
}

TEST_F(SoundLibraryTest, LoopingStreamRepeatsAndNormalStreamPlaysOnce) {
  const std::vector<double> whoosh = loadSound("move.wav");
  const size_t length = whoosh.size();
  std::vector<double> fiveTimes;
  for (int k = 0; k < 5; ++k) fiveTimes.insert(fiveTimes.end(), whoosh.begin(), whoosh.end());

  size_t before = written();
  FSOUND_STREAM* looping = FSOUND_Stream_Open("sounds\\move.wav", FSOUND_LOOP_NORMAL, 0, 0);
  ASSERT_NE(looping, nullptr);
  EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, looping), 0);
  std::vector<double> heard = capture(before, frames(0.2) + 5 * length);
  Fit repeats = locate(heard, fiveTimes, 1.0, 0, frames(0.2));
  EXPECT_LT(repeats.residue, 1e-3) << "the looping stream does not repeat seamlessly";
  closeMusic(looping);

  before = written();
  FSOUND_STREAM* once = FSOUND_Stream_Open("sounds\\move.wav", FSOUND_NORMAL, 0, 0);
  ASSERT_NE(once, nullptr);
  EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, once), 0);
  heard = capture(before, frames(0.2) + 5 * length);
  Fit single = locate(heard, whoosh, 1.0, 0, frames(0.2));
  EXPECT_LT(single.residue, 1e-3);
  EXPECT_EQ(rms(heard, single.offset + length, heard.size() - single.offset - length), 0.0)
      << "the stream opened without looping plays on";
  closeMusic(once);
}

TEST_F(SoundLibraryTest, VolumesMapOntoTheMixerAndEverySoundStartsAtFullVolume) {
  const std::vector<double> whoosh = loadSound("move.wav");
  // A sound starts with the next mixed buffer; the volume call may come one buffer
  // late, so the comparison leaves out the first 1024 frames.
  const std::vector<double> tail = slice(whoosh, 1024, whoosh.size());
  FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, "sounds\\move.wav", FSOUND_NORMAL, 0, 0);
  ASSERT_NE(sample, nullptr);

  size_t before = written();
  int quiet = FSOUND_PlaySound(FSOUND_FREE, sample);
  ASSERT_GE(quiet, 0);
  EXPECT_TRUE(FSOUND_SetVolume(quiet, 50));  // 50 of 255 is 25 of the mixer's 128
  std::vector<double> heard = capture(before, frames(0.15));
  EXPECT_LT(locate(heard, tail, 25.0 / 128.0, 0, frames(0.1)).residue, 1e-3);

  for (int waited = 0; Mix_Playing(quiet) && waited < 1000; waited += 5) SDL_Delay(5);
  // The next effect gets the same free channel, and yet the library's default volume.
  before = written();
  int loud = FSOUND_PlaySound(FSOUND_FREE, sample);
  EXPECT_EQ(loud, quiet);
  heard = capture(before, frames(0.15));
  EXPECT_LT(locate(heard, tail, 1.0, 0, frames(0.1)).residue, 1e-3)
      << "an effect with no volume call plays at the volume of the one before";
}

TEST_F(SoundLibraryTest, EffectsOverlapOnChannelsOfTheirOwn) {
  int musicChannel = -1;
  FSOUND_STREAM* title = startMusic("sounds\\bgm_main.wav", &musicChannel);
  ASSERT_NE(title, nullptr);
  FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, "sounds\\move.wav", FSOUND_NORMAL, 0, 0);
  ASSERT_NE(sample, nullptr);
  // More effects at once than there are channels: the oldest effect gives way.
  std::vector<int> channels;
  for (int i = 0; i < 40; ++i) channels.push_back(FSOUND_PlaySound(FSOUND_FREE, sample));
  for (int channel : channels) {
    EXPECT_GE(channel, 0);
    EXPECT_LT(channel, 32);
    EXPECT_NE(channel, musicChannel);
  }
  std::vector<int> first(channels.begin(), channels.begin() + 31);
  std::sort(first.begin(), first.end());
  EXPECT_EQ(std::unique(first.begin(), first.end()), first.end()) << "an effect cut off another one";
  EXPECT_EQ(Mix_Playing(-1), 32);
  EXPECT_TRUE(Mix_Playing(musicChannel));
  closeMusic(title);
}

TEST_F(SoundLibraryTest, NullHandlesAndTheFailedChannelAreHarmless) {
  int musicChannel = -1;
  FSOUND_STREAM* title = startMusic("sounds\\bgm_main.wav", &musicChannel);
  ASSERT_NE(title, nullptr);

  // What the game does when a sound file is missing.
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_SetVolume(-1, 0), 0);
  EXPECT_EQ(FSOUND_SetVolume(-1, 50), 0);
  EXPECT_EQ(FSOUND_Stream_Stop(nullptr), 0);
  EXPECT_EQ(FSOUND_Stream_Close(nullptr), 0);
  EXPECT_EQ(FSOUND_SetVolume(32, 0), 0);
  EXPECT_EQ(FSOUND_SetVolume(1000, 0), 0);
  EXPECT_EQ(FSOUND_DSP_SetActive(nullptr, 1), 0);
  EXPECT_EQ(FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1), 1);
  EXPECT_EQ(FSOUND_SetHWND(nullptr), 1);

  // None of it touched the music: it plays on at full volume.
  EXPECT_EQ(Mix_Volume(musicChannel, -1), MIX_MAX_VOLUME);
  std::vector<double> heard = capture(written(), frames(0.2));
  EXPECT_GT(rms(heard, 0, heard.size()), 0.05 * FULL_SCALE);
  closeMusic(title);
}

TEST_F(SoundLibraryTest, MissingFilesGiveNullAndEachFileIsDecodedOnce) {
  EXPECT_EQ(FSOUND_Stream_Open("sounds\\missing.wav", FSOUND_LOOP_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds\\missing.wav", FSOUND_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds\\bgm_main", FSOUND_NORMAL, 0, 0), nullptr);

  FSOUND_SAMPLE* whoosh = FSOUND_Sample_Load(FSOUND_FREE, "sounds\\move.wav", FSOUND_NORMAL, 0, 0);
  ASSERT_NE(whoosh, nullptr);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds\\move.wav", FSOUND_NORMAL, 0, 0), whoosh);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds/move.wav", FSOUND_NORMAL, 0, 0), whoosh);
  FSOUND_SAMPLE* crash = FSOUND_Sample_Load(FSOUND_FREE, "sounds\\crash.wav", FSOUND_NORMAL, 0, 0);
  EXPECT_NE(crash, nullptr);
  EXPECT_NE(crash, whoosh);

  // Streams are not shared: each one plays and closes on its own.
  FSOUND_STREAM* a = FSOUND_Stream_Open("sounds\\move.wav", FSOUND_NORMAL, 0, 0);
  FSOUND_STREAM* b = FSOUND_Stream_Open("sounds\\move.wav", FSOUND_NORMAL, 0, 0);
  ASSERT_NE(a, nullptr);
  EXPECT_NE(a, b);
  EXPECT_TRUE(FSOUND_Stream_Close(a));
  EXPECT_TRUE(FSOUND_Stream_Close(b));
}

// ---------------------------------------------------------------- start-up failures

// Each case starts the library in a fresh process (a re-run of this program), prints
// what went wrong on standard error and exits 0 only if nothing did.
[[noreturn]] void finish(const std::string& wrong) {
  std::fputs(wrong.c_str(), stderr);
  std::exit(wrong.empty() ? 0 : 1);
}

void startWithImpossibleDriver() {
  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  std::string wrong;
  if (FSOUND_Init(44100, 32, 0) != 0) wrong += "started with a driver that does not exist\n";
  if (FSOUND_Init(44100, 32, 0) != 0) wrong += "started on the second try\n";
  if (SDL_WasInit(SDL_INIT_AUDIO) != 0) wrong += "SDL audio left running\n";
  if (FSOUND_Stream_Open(soundPath("bgm_main.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0) != nullptr)
    wrong += "opened a stream\n";
  FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, soundPath("move.wav").c_str(), FSOUND_NORMAL, 0, 0);
  if (sample != nullptr) wrong += "loaded a sample\n";
  if (FSOUND_PlaySound(FSOUND_FREE, sample) != -1) wrong += "played a sample\n";
  if (FSOUND_Stream_Play(FSOUND_FREE, nullptr) != -1) wrong += "played a stream\n";
  if (FSOUND_SetVolume(0, 255) != 0) wrong += "set a volume\n";
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);
  FSOUND_SetHWND(nullptr);
  finish(wrong);
}

void startWithNoDriverNamed(bool emptyName) {
  if (emptyName) {
    setenv("SDL_AUDIODRIVER", "", 1);
  } else {
    unsetenv("SDL_AUDIODRIVER");
  }
  std::string wrong;
  if (FSOUND_Init(44100, 32, 0) == 0) wrong += std::string("did not start: ") + SDL_GetError() + "\n";
  FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, soundPath("move.wav").c_str(), FSOUND_NORMAL, 0, 0);
  if (sample == nullptr) wrong += "cannot load a sample\n";
  if (FSOUND_PlaySound(FSOUND_FREE, sample) < 0) wrong += "cannot play a sample\n";
  finish(wrong);
}

TEST(SoundLibraryStartTest, NamedDriverThatCannotStartFailsQuietly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // Exit status 0 and nothing at all on standard error.
  EXPECT_EXIT(startWithImpossibleDriver(), ::testing::ExitedWithCode(0), "^$");
}

TEST(SoundLibraryStartTest, WithNoDriverNamedItStartsAnywayAndQuietly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // Without a sound card the first driver fails to open and the silent one is used.
  EXPECT_EXIT(startWithNoDriverNamed(false), ::testing::ExitedWithCode(0), "^$");
  EXPECT_EXIT(startWithNoDriverNamed(true), ::testing::ExitedWithCode(0), "^$");
}

}  // namespace
