// platform_test.cpp -- the platform layer: our sound library over the real SDL2_mixer
// with SDL's disk driver, its start on each kind of driver, the sleep, the pacer, and
// the placement of the software renderer's raster threads (in a real Mesa context).
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <pthread.h>
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

TEST(PlatformTest, SleepIsReplaceable) {
  static uint32_t asked = 0;
  setSleepFunction([](uint32_t ms) { asked = ms; });
  sleepMilliseconds(1000);
  setSleepFunction(nullptr);
  EXPECT_EQ(asked, 1000u);
  EXPECT_EQ(desktopWindowHandle(), nullptr);
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
  now += 2 * P;
  slept = 0;
  pacer.reset();
  pacer.waitForTick();
  EXPECT_EQ(slept, 0) << "after a reset the pacer starts afresh";
}

// The raster threads' placement, in a real Mesa context with three raster threads over
// the two CPUs the test may use.
class RasterThreadTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("LP_NUM_THREADS", "3", 1);
    ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
  }
  void SetUp() override {
    ASSERT_TRUE(CPU_ISSET(0, &all)) << "this test needs CPU 0";
    ASSERT_TRUE(CPU_ISSET(1, &all)) << "this test needs CPU 1";
    unsetenv("ZARNOK_PIN_RASTER_THREADS");
    pthread_setname_np(pthread_self(), "platform_test");
  }
  void TearDown() override { sched_setaffinity(0, sizeof all, &all); }
  static cpu_set_t cpus(std::initializer_list<int> list) {
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int cpu : list) CPU_SET(cpu, &set);
    return set;
  }
  static bool myCpusAre(const cpu_set_t& expected) {
    cpu_set_t mine;
    return sched_getaffinity(0, sizeof mine, &mine) == 0 && CPU_EQUAL(&mine, &expected);
  }
  static cpu_set_t all;
};
cpu_set_t RasterThreadTest::all;

TEST_F(RasterThreadTest, NoContextNoThreadsPinned) { EXPECT_EQ(spreadRasterThreads(), 0); }

TEST_F(RasterThreadTest, ThreadsGoRoundTheCpusThisThreadMayUse) {
  ASSERT_EQ(makeHeadlessGlContextCurrent(), "");
  const cpu_set_t two = cpus({0, 1});
  ASSERT_EQ(sched_setaffinity(0, sizeof two, &two), 0);
  EXPECT_EQ(spreadRasterThreads(), 3);
  EXPECT_EQ(rasterThreadCpus(getpid()), "llvmpipe-0:0 llvmpipe-1:1 llvmpipe-2:0 ");
  EXPECT_TRUE(myCpusAre(two)) << "the calling thread keeps its CPUs";
}

TEST_F(RasterThreadTest, OneCpuLeavesTheThreadsAlone) {
  ASSERT_EQ(makeHeadlessGlContextCurrent(), "");
  const std::string before = rasterThreadCpus(getpid());
  const cpu_set_t one = cpus({0});
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  EXPECT_EQ(spreadRasterThreads(), 0);
  EXPECT_EQ(rasterThreadCpus(getpid()), before);
}

TEST_F(RasterThreadTest, EnvironmentVariableTurnsThePlacementOff) {
  ASSERT_EQ(makeHeadlessGlContextCurrent(), "");
  setenv("ZARNOK_PIN_RASTER_THREADS", "0", 1);
  EXPECT_EQ(spreadRasterThreads(), 0);
}

// A program whose main thread is named like a raster thread keeps its own CPUs.
TEST_F(RasterThreadTest, CallerNamedLikeARasterThreadIsLeftAlone) {
  ASSERT_EQ(makeHeadlessGlContextCurrent(), "");
  const cpu_set_t two = cpus({0, 1});
  ASSERT_EQ(sched_setaffinity(0, sizeof two, &two), 0);
  pthread_setname_np(pthread_self(), "llvmpipe-1");
  EXPECT_EQ(spreadRasterThreads(), 3) << "the driver's three threads only";
  EXPECT_TRUE(myCpusAre(two));
}
