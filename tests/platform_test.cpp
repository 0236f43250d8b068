// platform_test.cpp -- the platform layer, on Linux and under Wine alike: our sound library
// over the real SDL2_mixer with SDL's disk driver, its start on each kind of driver, the
// clock and the pacer. The raster threads' placement is Linux's: raster_thread_test.cpp.
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <set>

#include "platform/sound_library.h"

#ifdef _WIN32
// Windows has no setenv: _putenv_s sets the C library's and the process's variable; "" removes it.
static void setenv(const char* name, const char* value, int) { _putenv_s(name, value); }
static void unsetenv(const char* name) { _putenv_s(name, ""); }
#endif

static const std::string DISK = testing::TempDir() + "zarnok-heard-" + std::to_string(getpid()) + ".raw";

// Starts the library in this (child) process with the driver named, or none, and ALSA
// pointed at no device; exits with its answer, or 3 if the exit left the audio in use.
static void startAndExit(const char* driver) {
  driver ? setenv("SDL_AUDIODRIVER", driver, 1) : unsetenv("SDL_AUDIODRIVER");
  setenv("AUDIODEV", "zarnok-no-such-device", 1);
  std::atexit([] {
    if (SDL_WasInit(SDL_INIT_AUDIO) || Mix_QuerySpec(nullptr, nullptr, nullptr) || FSOUND_SetVolume(0, 9))
      _exit(3);
  });
  const int started = FSOUND_Init(44100, 32, 0);
  std::fprintf(stderr, "driver %s\n", started ? SDL_GetCurrentAudioDriver() : "none");
  std::exit(started);
}

// Runs first. No driver named and no device: the silent one; a named one failing fails.
TEST(SoundLibraryDeathTest, StartsOnTheNamedDriverOrTheSilentOneWhenNoneIsNamed) {
  EXPECT_EXIT(startAndExit(nullptr), testing::ExitedWithCode(1), "^driver dummy\n$");
  EXPECT_EXIT(startAndExit("alsa"), testing::ExitedWithCode(0), "^driver none\n$");
}

// The library over SDL's disk driver, started once for all its tests; each test starts
// with every channel quiet.
class SoundLibraryTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", DISK.c_str(), 1);
    ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1) << SDL_GetError();
  }
  static void TearDownTestSuite() { std::remove(DISK.c_str()); }  // the mixer writes on, unlinked
  void SetUp() override { Mix_HaltChannel(-1); }
  static std::string path(const char* file) { return std::string(ZARNOK_ASSET_DIR) + "/sounds\\" + file; }
  static FSOUND_STREAM* openMusic(unsigned mode) {
    return FSOUND_Stream_Open(path("bgm_main.wav").c_str(), mode, 0, 0);
  }
  static FSOUND_SAMPLE* loadCrash() {
    return FSOUND_Sample_Load(FSOUND_FREE, path("crash.wav").c_str(), FSOUND_NORMAL, 0, 0);
  }
};

// The music holds channel 0; 31 effects take the other channels, then an effect gives way.
TEST_F(SoundLibraryTest, EffectsTakeFreeChannelsThenOneGivesWay) {
  FSOUND_STREAM* music = openMusic(FSOUND_LOOP_NORMAL);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, music), 0) << "the music's channel";
  SDL_Delay(5);  // the music is the oldest sound by a clear margin
  FSOUND_SAMPLE* crash = loadCrash();
  EXPECT_EQ(loadCrash(), crash) << "a sample is decoded once";
  std::set<int> channels;
  for (int i = 0; i < 31; i++) channels.insert(FSOUND_PlaySound(FSOUND_FREE, crash));
  EXPECT_EQ(channels.size(), 31u) << "each on a channel of its own";
  EXPECT_EQ(*channels.begin(), 1) << "the lowest";
  EXPECT_EQ(*channels.rbegin(), 31) << "the highest";
  const int more = FSOUND_PlaySound(FSOUND_FREE, crash);
  EXPECT_GE(more, 1) << "an effect gives way, never the music";
  EXPECT_LE(more, 31);
  EXPECT_EQ(Mix_Playing(-1), 32);
  FSOUND_Stream_Close(music);
}

TEST_F(SoundLibraryTest, VolumeOf255IsTheMixersFull128) {
  const int channel = FSOUND_PlaySound(FSOUND_FREE, loadCrash());
  struct Case {
    const char* name;
    int volume;
    int mixer;
  };
  const Case cases[] = {
      {"full", 255, MIX_MAX_VOLUME},
      {"the steering sound's", 50, 25},
      {"silent", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FSOUND_SetVolume(channel, c.volume), 1);
    EXPECT_EQ(Mix_Volume(channel, -1), c.mixer);
  }
}

TEST_F(SoundLibraryTest, ASoundStartsAtFullVolumeOnAChannelTurnedDown) {
  const int channel = FSOUND_PlaySound(FSOUND_FREE, loadCrash());
  FSOUND_SetVolume(channel, 0);
  Mix_HaltChannel(channel);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, loadCrash()), channel);
  EXPECT_EQ(Mix_Volume(channel, -1), MIX_MAX_VOLUME);
}

// The first stream last played on channel 0, where the music now plays.
TEST_F(SoundLibraryTest, StopEndsOnlyTheStreamsOwnSoundAndCloseFreesIt) {
  FSOUND_STREAM* first = openMusic(FSOUND_LOOP_NORMAL);
  FSOUND_STREAM* music = openMusic(FSOUND_LOOP_NORMAL);
  ASSERT_EQ(FSOUND_Stream_Play(0, first), 0);
  ASSERT_EQ(FSOUND_Stream_Play(0, music), 0);
  EXPECT_EQ(FSOUND_Stream_Stop(first), 1);
  EXPECT_TRUE(Mix_Playing(0)) << "the music plays on";
  EXPECT_EQ(FSOUND_Stream_Stop(music), 1);
  EXPECT_FALSE(Mix_Playing(0));
  FSOUND_Stream_Close(first);
  EXPECT_EQ(FSOUND_Stream_Close(music), 1);
#ifdef __GLIBC__  // the C library's count of the bytes it holds
  const size_t held = mallinfo2().uordblks + mallinfo2().hblkhd;
  for (int i = 0; i < 3; i++) FSOUND_Stream_Close(openMusic(0));
  EXPECT_LT(mallinfo2().uordblks + mallinfo2().hblkhd, held + 1000000) << "closed streams are freed";
#endif
}

// crash.wav lasts 0.9 s. After 1.35 s of mixed sound a stream or sample played once has ended (once
// more would last 1.8 s), and a looping one plays on.
TEST_F(SoundLibraryTest, OneShotSoundsEndAfterOnePlayAndLoopingOnesPlayOn) {
  const auto written = [] { return std::filesystem::file_size(DISK); };  // Windows' SDL opens it unshared
  for (unsigned mode : {FSOUND_NORMAL, FSOUND_LOOP_NORMAL}) {
    SCOPED_TRACE(mode == FSOUND_NORMAL ? "played once" : "looping");
    FSOUND_STREAM* stream = FSOUND_Stream_Open(path("crash.wav").c_str(), mode, 0, 0);
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), 0) << "a stream takes the music's channel";
    const int channel =
        FSOUND_PlaySound(FSOUND_FREE, FSOUND_Sample_Load(0, path("crash.wav").c_str(), mode, 0, 0));
    const size_t played = written() + 44100 * 4 * 135 / 100;  // 16-bit stereo
    while (written() < played) SDL_Delay(10);
    EXPECT_EQ(Mix_Playing(0), mode == FSOUND_LOOP_NORMAL) << "the stream";
    EXPECT_EQ(Mix_Playing(channel), mode == FSOUND_LOOP_NORMAL) << "the sample";
    FSOUND_Stream_Close(stream);
  }
}

// The game's loop never services a handler of SDL's, so interrupt and terminate must keep
// their default actions once the sound library has started.
TEST_F(SoundLibraryTest, InterruptAndTerminateStillEndTheProgram) {
  struct Case {
    const char* name;
    int signal;
  };
  const Case cases[] = {{"SIGINT", SIGINT}, {"SIGTERM", SIGTERM}};
  for (const Case& c : cases) {
    EXPECT_EQ(std::signal(c.signal, SIG_DFL), SIG_DFL) << c.name;
  }
}

TEST_F(SoundLibraryTest, NullHandlesAndBadChannelsAreHarmless) {
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, FSOUND_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_SetVolume(-1, 0), 0);
  EXPECT_EQ(FSOUND_SetVolume(32, 0), 0);
  EXPECT_EQ(FSOUND_Stream_Stop(nullptr), 0);
  EXPECT_EQ(FSOUND_Stream_Close(nullptr), 0);
  FSOUND_STREAM* music = openMusic(FSOUND_NORMAL);
  EXPECT_EQ(FSOUND_Stream_Play(32, music), -1) << "a stream on a channel past the last";
  EXPECT_EQ(FSOUND_PlaySound(32, loadCrash()), -1) << "a sample on a channel past the last";
  FSOUND_Stream_Close(music);
}

// The crash pause's whole second. A lower bound only: a slow machine sleeps longer, never
// shorter. On Linux a signal on the way (5 ms in) does not cut it short.
TEST(PlatformTest, SleepLastsAtLeastTheMillisecondsAsked) {
#ifndef _WIN32
  signal(SIGALRM, [](int) {});
  ualarm(5000, 0);
#endif
  const int64_t start = monotonicNs();
  sleepMilliseconds(1000);
  EXPECT_GE(monotonicNs() - start, 1000000000);
}

// Both read CLOCK_MONOTONIC, so ours falls between two readings of the steady clock.
TEST(PlatformTest, MonotonicClockReadsTheSteadyClockInNanoseconds) {
  using std::chrono::steady_clock;
  const steady_clock::time_point before = steady_clock::now();
  const steady_clock::time_point ours{std::chrono::nanoseconds(monotonicNs())};
  EXPECT_LE(before, ours);
  EXPECT_LE(ours, steady_clock::now());
}

// The real clock and sleep (Windows: the performance counter and a waitable timer): a tick
// never falls due before a period has passed since the one before. A lower bound only.
TEST(PlatformTest, PacerOnTheSystemsClockWaitsAtLeastAPeriod) {
  constexpr int64_t P = 20000000;  // 50 ticks a second
  TickPacer pacer(50.0);
  const int64_t before = monotonicNs();
  pacer.waitForTick();
  pacer.waitForTick();
  EXPECT_GE(monotonicNs() - before, P) << "nanoseconds from before the first tick to after the second";
}

// The pacer on a stand-in clock whose sleep moves it on.
static int64_t now = 1000;  // nanoseconds
static int64_t slept = 0;

TEST(PlatformTest, PacerSleepsOutThePeriodAndCatchesUpOneTickACall) {
  constexpr int64_t P = 10000000;  // 100 ticks a second
  TickPacer pacer(
      100.0, [] { return now; },
      [](int64_t ns) {
        slept += ns;
        now += ns;
      });
  struct Call {
    const char* name;
    int64_t busy;   // time spent since the call before
    int64_t sleep;  // what this call sleeps
  };
  const Call calls[] = {
      {"first call starts at once", 0, 0},
      {"a quarter period busy", P / 4, 3 * P / 4},
      {"a frame three periods long", 3 * P, 0},
      {"catching up, first", 0, 0},
      {"catching up, second", 0, 0},
      {"back on time", 0, P},
      {"a stall of a hundred periods", 100 * P, 0},
      {"after the stall, on time", 0, P},
      {"five periods behind is caught up", 6 * P, 0},
      {"caught up, first", 0, 0},
      {"caught up, second", 0, 0},
      {"caught up, third", 0, 0},
      {"caught up, fourth", 0, 0},
      {"caught up, fifth", 0, 0},
      {"on time again", 0, P},
  };
  for (const Call& call : calls) {
    SCOPED_TRACE(call.name);
    now += call.busy;
    slept = 0;
    pacer.waitForTick();
    EXPECT_EQ(slept, call.sleep);
  }
}
