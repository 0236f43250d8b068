// platform_test.cpp -- the platform layer: our sound library over the real SDL2_mixer,
// heard through SDL's disk driver (16-bit stereo at 44100 Hz, written as it is played),
// its start on each kind of driver, and the sleep and the tick pacer.
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <numeric>

#include "platform/sound_library.h"

namespace {

const std::string DISK = testing::TempDir() + "zarnok-platform-heard.raw";

// A game sound, named with a backslash as the game names it.
std::string sound(const char* file) { return std::string(ZARNOK_ASSET_DIR) + "/sounds\\" + file; }

size_t written() {
  struct stat s;
  return stat(DISK.c_str(), &s) == 0 ? size_t(s.st_size) : 0;
}

// Starts the library in this (child) process with the driver named, or none, and ALSA
// pointed at no device; exits with its answer, or 3 if the exit left the audio open.
void startAndExit(const char* driver) {
  driver ? setenv("SDL_AUDIODRIVER", driver, 1) : unsetenv("SDL_AUDIODRIVER");
  setenv("AUDIODEV", "zarnok-no-such-device", 1);
  std::atexit([] {
    if (SDL_WasInit(SDL_INIT_AUDIO) || Mix_QuerySpec(nullptr, nullptr, nullptr)) _exit(3);
  });
  const int started = FSOUND_Init(44100, 32, 0);
  std::fprintf(stderr, "driver %s\n", started ? SDL_GetCurrentAudioDriver() : "none");
  std::exit(started);
}

}  // namespace

// Runs first (a death test), each start in a process of its own: with no driver named
// and no device to open, the silent driver; a named driver that fails is a failure.
TEST(SoundLibraryDeathTest, StartsOnTheNamedDriverOrTheSilentOneWhenNoneIsNamed) {
  EXPECT_EXIT(startAndExit(nullptr), testing::ExitedWithCode(1), "^driver dummy\n$");
  EXPECT_EXIT(startAndExit("alsa"), testing::ExitedWithCode(0), "^driver none\n$");
  EXPECT_EXIT(startAndExit("no-such-driver"), testing::ExitedWithCode(0), "^driver none\n$");
}

TEST(SoundLibraryTest, MusicIsHeardAndEffectsMixOverItOnChannelsOfTheirOwn) {
  EXPECT_EQ(FSOUND_Stream_Open(sound("bgm_main.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0), nullptr)
      << "not started";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", DISK.c_str(), 1);
  ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1) << SDL_GetError();
  EXPECT_EQ(FSOUND_Init(22050, 8, 0), 1) << "a second start keeps the first";
  FSOUND_STREAM* title = FSOUND_Stream_Open(sound("bgm_main.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0);
  const size_t from = written();
  const int music = FSOUND_Stream_Play(FSOUND_FREE, title);
  EXPECT_TRUE(FSOUND_SetVolume(music, 255));
  EXPECT_EQ(Mix_Volume(music, -1), MIX_MAX_VOLUME);

  // Heard from its first sample at full volume: the file's frames, as the mixer holds
  // them, come out unchanged.
  Mix_Chunk* tune = Mix_LoadWAV((std::string(ZARNOK_ASSET_DIR) + "/sounds/bgm_main.wav").c_str());
  ASSERT_NE(tune, nullptr);
  while (written() < from + 88200) SDL_Delay(10);
  std::ifstream disk(DISK, std::ios::binary);
  std::string heard(88200, '\0');
  disk.seekg(long(from)).read(heard.data(), long(heard.size()));
  const std::string start(reinterpret_cast<char*>(tune->abuf), 17640);
  EXPECT_NE(heard.find(start), std::string::npos) << "the tune's first tenth of a second is not heard";
  Mix_FreeChunk(tune);

  // Effects overlap the music and each other; with all 31 effect channels busy the
  // oldest gives way. The same file is decoded once.
  FSOUND_SAMPLE* crash = FSOUND_Sample_Load(FSOUND_FREE, sound("crash.wav").c_str(), FSOUND_NORMAL, 0, 0);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, sound("crash.wav").c_str(), FSOUND_NORMAL, 0, 0), crash);
  std::vector<int> channels;
  for (int i = 0; i < 33; i++) channels.push_back(FSOUND_PlaySound(FSOUND_FREE, crash));
  std::vector<int> effects(31);
  std::iota(effects.begin(), effects.end(), 1);
  EXPECT_TRUE(std::is_permutation(effects.begin(), effects.end(), channels.begin()));
  EXPECT_TRUE(channels[31] >= 1 && channels[31] <= 31 && channels[32] >= 1 && channels[32] <= 31);
  EXPECT_TRUE(FSOUND_SetVolume(channels[5], 50));
  EXPECT_EQ(Mix_Volume(channels[5], -1), 25);  // 50 of 255 is 25 of 128
  EXPECT_EQ(Mix_Playing(-1), 32);

  EXPECT_TRUE(FSOUND_Stream_Stop(title));
  EXPECT_TRUE(FSOUND_Stream_Close(title));
  EXPECT_FALSE(Mix_Playing(music));
  Mix_HaltChannel(-1);
  // A stream opened without looping plays once; a looping one goes on.
  for (unsigned mode : {FSOUND_NORMAL, FSOUND_LOOP_NORMAL}) {
    FSOUND_STREAM* whoosh = FSOUND_Stream_Open(sound("move.wav").c_str(), mode, 0, 0);
    const int channel = FSOUND_Stream_Play(FSOUND_FREE, whoosh);
    EXPECT_EQ(channel, music) << "music keeps its channel";
    for (const size_t played = written() + 44100; written() < played;)
      SDL_Delay(10);  // five times its length
    EXPECT_EQ(Mix_Playing(channel), mode == FSOUND_LOOP_NORMAL) << mode;
    FSOUND_Stream_Close(whoosh);
  }
  // What the game does when a file is missing is harmless.
  EXPECT_EQ(FSOUND_Stream_Open(sound("missing.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, FSOUND_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_SetVolume(-1, 0) + FSOUND_SetVolume(32, 0) + FSOUND_Stream_Stop(nullptr), 0);
  EXPECT_EQ(FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1) + FSOUND_SetHWND(nullptr), 2);
}

// The pacer sleeps only for a tick that is not yet due; the first tick, and the one
// after the loop fell behind or was reset, come at once. Told by the thread's
// voluntary context switches, which only a sleep makes here.
TEST(PlatformTest, SleepAndTickPacerWaitOnlyForWhatIsNotYetDue) {
  using Clock = std::chrono::steady_clock;
  EXPECT_EQ(desktopWindowHandle(), nullptr);
  const auto sleeps = [] {
    rusage use;
    getrusage(RUSAGE_THREAD, &use);
    return use.ru_nvcsw;
  };
  const auto begun = Clock::now();
  sleepMilliseconds(40);
  EXPECT_GE(Clock::now() - begun, std::chrono::milliseconds(40));
  static uint32_t asked = 0;
  setSleepFunction([](uint32_t ms) { asked = ms; });
  sleepMilliseconds(1000);
  setSleepFunction(nullptr);
  EXPECT_EQ(asked, 1000u);

  TickPacer pacer(4.0);
  const auto tick = [&] {
    const long before = sleeps();
    pacer.waitForNextTick();
    return sleeps() > before;
  };
  EXPECT_FALSE(tick());
  EXPECT_TRUE(tick());
  sleepMilliseconds(600);
  const auto due = Clock::now() + std::chrono::milliseconds(250);
  EXPECT_FALSE(tick()) << "fell behind: starts afresh, no catch-up";
  EXPECT_TRUE(tick());
  EXPECT_GE(Clock::now(), due);
  pacer.reset();
  EXPECT_FALSE(tick());
}
