// platform_test.cpp -- the platform layer: our sound library over the real SDL2_mixer
// with SDL's disk driver, its start on each kind of driver, the sleep, the pacer, and
// the placement of the software renderer's raster threads (in a real Mesa context).
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <sched.h>
#include <sys/resource.h>

#include <chrono>
#include <fstream>
#include <set>

#include "platform/sound_library.h"
#include "tests/support/game_process.h"
#include "tests/support/gl_context.h"

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
  EXPECT_EXIT(startAndExit("no-such-driver"), testing::ExitedWithCode(0), "^driver none\n$");
}

TEST(SoundLibraryTest, MusicKeepsItsChannelEffectsMixOverItAndNullHandlesAreHarmless) {
  const auto path = [](const char* file) { return std::string(ZARNOK_ASSET_DIR) + "/sounds\\" + file; };
  setenv("SDL_AUDIODRIVER", "disk", 1), setenv("SDL_DISKAUDIOFILE", DISK.c_str(), 1);
  ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1) << SDL_GetError();
  EXPECT_EQ(FSOUND_Init(22050, 8, 0), 1) << "a second start keeps the first";
  FSOUND_STREAM* title = FSOUND_Stream_Open(path("bgm_main.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0);
  const int music = FSOUND_Stream_Play(FSOUND_FREE, title);
  EXPECT_TRUE(FSOUND_SetVolume(music, 255) && Mix_Volume(music, -1) == MIX_MAX_VOLUME);
  FSOUND_SAMPLE* crash = FSOUND_Sample_Load(FSOUND_FREE, path("crash.wav").c_str(), FSOUND_NORMAL, 0, 0);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, path("crash.wav").c_str(), FSOUND_NORMAL, 0, 0), crash);
  std::vector<int> channels;
  for (int i = 0; i < 33; i++) channels.push_back(FSOUND_PlaySound(FSOUND_FREE, crash));
  const std::set<int> first(channels.begin(), channels.begin() + 31);  // then the oldest gives way
  EXPECT_TRUE(first.size() == 31 && *first.begin() == 1 && *first.rbegin() == 31);
  EXPECT_TRUE(FSOUND_SetVolume(channels[5], 50) && Mix_Volume(channels[5], -1) == 25);  // of 128
  EXPECT_TRUE(Mix_Playing(-1) == 32 && FSOUND_Stream_Stop(title) && FSOUND_Stream_Close(title));
  EXPECT_FALSE(Mix_Playing(music));
  const size_t held = mallinfo2().uordblks + mallinfo2().hblkhd;  // a closed stream is freed
  for (int i = 0; i < 3; i++) FSOUND_Stream_Close(FSOUND_Stream_Open(path("bgm_main.wav").c_str(), 0, 0, 0));
  EXPECT_LT(mallinfo2().uordblks + mallinfo2().hblkhd, held + 1000000);
  Mix_HaltChannel(-1);
  for (unsigned mode : {FSOUND_NORMAL, FSOUND_LOOP_NORMAL}) {
    FSOUND_STREAM* whoosh = FSOUND_Stream_Open(path("move.wav").c_str(), mode, 0, 0);
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, whoosh), music) << "music keeps its channel";
    const auto written = [] { return size_t(std::ifstream(DISK, std::ios::ate | std::ios::binary).tellg()); };
    for (const size_t played = written() + 44100; written() < played;) SDL_Delay(10);
    EXPECT_EQ(Mix_Playing(music), mode == FSOUND_LOOP_NORMAL) << mode;
    FSOUND_Stream_Close(whoosh);
  }
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, FSOUND_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr) + FSOUND_PlaySound(FSOUND_FREE, nullptr), -2);
  EXPECT_EQ(FSOUND_SetVolume(-1, 0) + FSOUND_SetVolume(32, 0) + FSOUND_Stream_Stop(nullptr), 0);
  EXPECT_EQ(FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1) + FSOUND_SetHWND(nullptr), 2);
  std::remove(DISK.c_str());  // the mixer writes on into the unlinked file
}

// The sleep can be replaced; the pacer, on a stand-in clock whose sleep moves it on,
// sleeps out the rest of a period, makes up the ticks that a long frame lost (two a
// call at most) and forgives a stall longer than five periods.
static int64_t now = 1000, slept = 0;  // nanoseconds

TEST(PlatformTest, SleepIsReplaceableAndThePacerMakesUpLostTicksButNotStalls) {
  static uint32_t asked = 0;
  setSleepFunction([](uint32_t ms) { asked = ms; });
  sleepMilliseconds(1000);
  setSleepFunction(nullptr);
  EXPECT_EQ(asked + uintptr_t(desktopWindowHandle()), 1000u);
  constexpr int64_t P = 10000000;  // 100 ticks a second
  TickPacer pacer(
      100.0, [] { return now; }, [](int64_t ns) { slept += ns, now += ns; });
  // Time spent between two calls, then the ticks and the sleep that the call gives.
  const struct {
    int64_t busy;
    int ticks;
    int64_t sleep;
  } calls[] = {{0, 1, 0},       {P / 4, 1, 3 * P / 4},
               {3 * P, 2, 0},               // a frame of three periods...
               {0, 1, 0},       {0, 1, P},  // ...made up, then back on time
               {100 * P, 1, 0}, {0, 1, P},  // the stall is not made up
               {6 * P, 2, 0},   {0, 2, 0},
               {0, 2, 0},       {0, 1, P}};
  for (size_t i = 0; i < std::size(calls); i++) {
    now += calls[i].busy, slept = 0;
    EXPECT_EQ(pacer.waitForTicks(), calls[i].ticks) << i;
    EXPECT_EQ(slept, calls[i].sleep) << i;
  }
  now += 2 * P, slept = 0, pacer.reset();  // two ticks late, but started afresh
  EXPECT_EQ(pacer.waitForTicks(), 1);
  EXPECT_EQ(slept, 0);
}

// Three raster threads over the two CPUs this thread may use: 0, 1, 0 again; with one
// CPU, or before there is a context, none is pinned. This thread keeps its own CPUs.
TEST(PlatformTest, RasterThreadsArePinnedRoundTheCpusThisThreadMayUse) {
  cpu_set_t all, one, two;
  ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
  ASSERT_TRUE(CPU_ISSET(0, &all) && CPU_ISSET(1, &all)) << "this test needs CPUs 0 and 1";
  EXPECT_EQ(spreadRasterThreads(), 0) << "no context, no raster threads";
  setenv("LP_NUM_THREADS", "3", 1);
  ASSERT_EQ(makeHeadlessGlContextCurrent(), "");
  CPU_ZERO(&one);
  CPU_SET(0, &one);
  two = one;
  CPU_SET(1, &two);
  const struct {
    cpu_set_t mine;
    int pinned;
    std::string threads;
  } cases[] = {{one, 0, rasterThreadCpus(getpid())}, {two, 3, "llvmpipe-0:0 llvmpipe-1:1 llvmpipe-2:0 "}};
  for (const auto& c : cases) {
    cpu_set_t after;
    ASSERT_EQ(sched_setaffinity(0, sizeof c.mine, &c.mine), 0);
    EXPECT_EQ(spreadRasterThreads(), c.pinned);
    EXPECT_EQ(rasterThreadCpus(getpid()), c.threads);
    EXPECT_TRUE(sched_getaffinity(0, sizeof after, &after) == 0 && CPU_EQUAL(&after, &c.mine));
  }
  sched_setaffinity(0, sizeof all, &all);
}
