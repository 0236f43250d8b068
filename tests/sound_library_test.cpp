// sound_library_test.cpp -- the sound library over the real SDL2_mixer, heard through
// SDL's disk driver: what the mixer plays is written, in real time, as raw 16-bit
// stereo to a file, where the test finds the game's own sounds sample for sample.
#include "platform/sound_library.h"

#include <SDL_mixer.h>

#include <memory>

#include "tests/sound_capture.h"

namespace {

using namespace sound_capture;

// A made sound, named as the game names it (with a backslash) but from anywhere.
std::string sound(const char* file) { return std::string(ZARNOK_ASSET_DIR) + "/sounds\\" + file; }

FSOUND_SAMPLE* loadSample(const std::string& path) {
  return FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_NORMAL, 0, 0);
}

class SoundLibraryTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    disk = std::make_unique<DiskCapture>();  // left open: the mixer writes until the program exits
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", disk->path().c_str(), 1);
    started = FSOUND_Init(44100, 32, 0) != 0;
  }
  void SetUp() override { ASSERT_TRUE(started) << "no start on SDL's disk driver: " << SDL_GetError(); }
  void TearDown() override { Mix_HaltChannel(-1); }  // silence for the next test

  // Opens a stream of a made sound and plays it at full volume, as the game's music.
  static FSOUND_STREAM* startMusic(const char* file, int* channel = nullptr,
                                   unsigned mode = FSOUND_LOOP_NORMAL) {
    FSOUND_STREAM* stream = FSOUND_Stream_Open(sound(file).c_str(), mode, 0, 0);
    const int playing = FSOUND_Stream_Play(FSOUND_FREE, stream);
    FSOUND_SetVolume(playing, 255);
    if (channel) *channel = playing;
    EXPECT_TRUE(stream && playing >= 0) << file;
    return stream;
  }
  static void closeMusic(FSOUND_STREAM* stream) {
    EXPECT_TRUE(FSOUND_Stream_Stop(stream));
    EXPECT_TRUE(FSOUND_Stream_Close(stream));
  }

  static inline std::unique_ptr<DiskCapture> disk;
  static inline bool started = false;
};

// The title tune from its beginning, at full volume; the game's switch (stop, close,
// open the other tune, play) replaces it by the game tune from its beginning, alone.
TEST_F(SoundLibraryTest, TitleMusicIsHeardAndTheSwitchReplacesItByTheGameMusic) {
  const Samples titleTune = loadSound("bgm_main.wav"), gameTune = loadSound("bgm_game.wav");
  size_t from = disk->written();
  int titleChannel = -1, gameChannel = -1;
  FSOUND_STREAM* title = startMusic("bgm_main.wav", &titleChannel);
  Samples heard = disk->read(from, frames(0.7));
  Fit start = locate(heard, slice(titleTune, 0, 4096), 1.0, 0, frames(0.3));
  EXPECT_LT(start.residue, 1e-3) << "the title tune's first notes are not in the output";
  EXPECT_LT(locate(heard, slice(titleTune, 0, frames(0.35)), 1.0, start.offset, start.offset).residue, 1e-3);
  EXPECT_GT(rms(heard, start.offset, frames(0.35)), 0.05 * FULL_SCALE);

  closeMusic(title);
  from = disk->written();
  FSOUND_STREAM* game = startMusic("bgm_game.wav", &gameChannel);
  EXPECT_EQ(gameChannel, titleChannel) << "music should keep its own channel";
  heard = disk->read(from, frames(0.7));
  start = locate(heard, slice(gameTune, 0, 4096), 1.0, 0, frames(0.3));
  EXPECT_LT(start.residue, 1e-3) << "the game tune does not start from its beginning";
  EXPECT_LT(locate(heard, slice(gameTune, 0, frames(0.35)), 1.0, start.offset, start.offset).residue, 1e-3)
      << "the title tune is still heard under the game tune";
  closeMusic(game);
}

TEST_F(SoundLibraryTest, EffectMixesOverTheMusic) {
  const Samples gameTune = loadSound("bgm_game.wav"), crash = loadSound("crash.wav");
  const size_t before = disk->written();
  int musicChannel = -1;
  FSOUND_STREAM* game = startMusic("bgm_game.wav", &musicChannel);
  disk->read(before, frames(0.2));
  FSOUND_SAMPLE* sample = loadSample(sound("crash.wav"));
  ASSERT_NE(sample, nullptr);
  const size_t effectFrom = disk->written() - before;
  const int effectChannel = FSOUND_PlaySound(FSOUND_FREE, sample);
  EXPECT_TRUE(FSOUND_SetVolume(effectChannel, 255));
  EXPECT_NE(effectChannel, musicChannel);

  const Samples heard = disk->read(before, effectFrom + frames(0.7));
  const Fit music = locate(heard, slice(gameTune, 0, 4096), 1.0, 0, frames(0.2));
  ASSERT_LT(music.residue, 1e-3) << "the game tune is not in the output";
  // Take the music away: what is left from the effect's start on is the crash.
  Samples rest(heard.size(), 0.0);
  for (size_t i = music.offset; i < heard.size(); ++i) rest[i] = heard[i] - gameTune[i - music.offset];
  const Fit effect = locate(rest, slice(crash, 0, frames(0.3)), 1.0, effectFrom, effectFrom + frames(0.3));
  EXPECT_LT(effect.residue, 0.02) << "the crash is not heard over the music";
  EXPECT_LT(rms(rest, music.offset, effect.offset - music.offset), 1.0)
      << "the music changed before the crash";
  const double musicAlone = rms(slice(gameTune, effect.offset - music.offset, frames(0.2)), 0, frames(0.2));
  EXPECT_GT(rms(heard, effect.offset, frames(0.2)), 1.2 * musicAlone);
  closeMusic(game);
}

TEST_F(SoundLibraryTest, LoopingStreamRepeatsAndNormalStreamPlaysOnce) {
  const Samples whoosh = loadSound("move.wav");
  Samples fiveTimes;
  for (int k = 0; k < 5; ++k) fiveTimes.insert(fiveTimes.end(), whoosh.begin(), whoosh.end());
  for (bool looping : {true, false}) {
    SCOPED_TRACE(looping ? "looping" : "normal");
    const size_t before = disk->written();
    FSOUND_STREAM* stream = startMusic("move.wav", nullptr, looping ? FSOUND_LOOP_NORMAL : FSOUND_NORMAL);
    const Samples heard = disk->read(before, frames(0.2) + fiveTimes.size());
    const Fit fit = locate(heard, looping ? fiveTimes : whoosh, 1.0, 0, frames(0.2));
    EXPECT_LT(fit.residue, 1e-3);
    if (!looping) {
      const size_t end = fit.offset + whoosh.size();
      EXPECT_EQ(rms(heard, end, heard.size() - end), 0.0) << "the stream opened without looping plays on";
    }
    closeMusic(stream);
  }
}

// A sound starts with the next mixed buffer and the volume call may come one buffer
// late, so the comparison leaves out the first 1024 frames.
TEST_F(SoundLibraryTest, VolumesMapOntoTheMixerAndEverySoundStartsAtFullVolume) {
  const Samples tail = slice(loadSound("move.wav"), 1024, 1 << 20);
  FSOUND_SAMPLE* sample = loadSample(sound("move.wav"));
  ASSERT_NE(sample, nullptr);
  size_t before = disk->written();
  const int quiet = FSOUND_PlaySound(FSOUND_FREE, sample);
  EXPECT_TRUE(FSOUND_SetVolume(quiet, 50));  // 50 of 255 is 25 of the mixer's 128
  EXPECT_LT(locate(disk->read(before, frames(0.15)), tail, 25.0 / 128.0, 0, frames(0.1)).residue, 1e-3);
  for (int waited = 0; Mix_Playing(quiet) && waited < 1000; waited += 5) SDL_Delay(5);
  // The next effect gets the same free channel, and yet the library's default volume.
  before = disk->written();
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), quiet);
  EXPECT_LT(locate(disk->read(before, frames(0.15)), tail, 1.0, 0, frames(0.1)).residue, 1e-3)
      << "an effect with no volume call plays at the volume of the one before";
}

TEST_F(SoundLibraryTest, EffectsOverlapOnChannelsOfTheirOwn) {
  int musicChannel = -1;
  FSOUND_STREAM* title = startMusic("bgm_main.wav", &musicChannel);
  FSOUND_SAMPLE* sample = loadSample(sound("move.wav"));
  // More effects at once than there are channels: the oldest effect gives way.
  std::vector<int> channels;
  for (int i = 0; i < 40; ++i) channels.push_back(FSOUND_PlaySound(FSOUND_FREE, sample));
  for (int channel : channels)
    EXPECT_TRUE(channel >= 0 && channel < 32 && channel != musicChannel) << channel;
  std::sort(channels.begin(), channels.begin() + 31);
  EXPECT_EQ(std::unique(channels.begin(), channels.begin() + 31), channels.begin() + 31)
      << "an effect cut off another one";
  EXPECT_EQ(Mix_Playing(-1), 32);
  EXPECT_TRUE(Mix_Playing(musicChannel));
  closeMusic(title);
}

// A second start, and what the game does when a sound file is missing (null handles,
// the channel -1), leave the music playing on at full volume.
TEST_F(SoundLibraryTest, SecondStartMissingFilesAndNullHandlesAreHarmless) {
  int musicChannel = -1;
  FSOUND_STREAM* title = startMusic("bgm_main.wav", &musicChannel);
  EXPECT_EQ(FSOUND_Init(22050, 8, 0), 1);
  EXPECT_EQ(Mix_AllocateChannels(-1), 32);
  EXPECT_EQ(FSOUND_Stream_Open(sound("missing.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(loadSample(sound("missing.wav")), nullptr);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
  for (int channel : {-1, 32, 1000}) EXPECT_EQ(FSOUND_SetVolume(channel, 0), 0) << channel;
  EXPECT_EQ(FSOUND_Stream_Stop(nullptr), 0);
  EXPECT_EQ(FSOUND_Stream_Close(nullptr), 0);
  EXPECT_EQ(FSOUND_DSP_SetActive(nullptr, 1), 0);
  EXPECT_EQ(FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1), 1);
  EXPECT_EQ(FSOUND_SetHWND(nullptr), 1);
  EXPECT_EQ(Mix_Volume(musicChannel, -1), MIX_MAX_VOLUME);
  const Samples heard = disk->read(disk->written(), frames(0.2));
  EXPECT_GT(rms(heard, 0, heard.size()), 0.05 * FULL_SCALE);
  closeMusic(title);
}

}  // namespace
