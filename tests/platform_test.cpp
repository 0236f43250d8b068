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
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "platform/sound_library.h"
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
  const size_t held = mallinfo2().uordblks + mallinfo2().hblkhd;
  for (int i = 0; i < 3; i++) FSOUND_Stream_Close(openMusic(0));
  EXPECT_LT(mallinfo2().uordblks + mallinfo2().hblkhd, held + 1000000) << "closed streams are freed";
}

// crash.wav lasts 0.9 s. After 1.35 s of mixed sound a stream or sample played once has ended (once
// more would last 1.8 s), and a looping one plays on.
TEST_F(SoundLibraryTest, OneShotSoundsEndAfterOnePlayAndLoopingOnesPlayOn) {
  const auto written = [] { return size_t(std::ifstream(DISK, std::ios::ate | std::ios::binary).tellg()); };
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

TEST_F(SoundLibraryTest, NullHandlesAndBadChannelsAreHarmless) {
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, FSOUND_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_SetVolume(-1, 0), 0);
  EXPECT_EQ(FSOUND_SetVolume(32, 0), 0);
  EXPECT_EQ(FSOUND_Stream_Stop(nullptr), 0);
  FSOUND_STREAM* music = openMusic(FSOUND_NORMAL);
  EXPECT_EQ(FSOUND_Stream_Play(32, music), -1) << "a stream on a channel past the last";
  EXPECT_EQ(FSOUND_PlaySound(32, loadCrash()), -1) << "a sample on a channel past the last";
  FSOUND_Stream_Close(music);
}

// A lower bound only: a slow machine sleeps longer, never shorter. A signal on the way (5 ms in)
// does not cut it short.
TEST(PlatformTest, SleepLastsAtLeastTheMillisecondsAsked) {
  signal(SIGALRM, [](int) {});
  ualarm(5000, 0);
  const int64_t start = monotonicNs();
  sleepMilliseconds(20);
  EXPECT_GE(monotonicNs() - start, 20000000);
}

// Both read CLOCK_MONOTONIC, so ours falls between two readings of the steady clock.
TEST(PlatformTest, MonotonicClockReadsTheSteadyClockInNanoseconds) {
  using std::chrono::steady_clock;
  const steady_clock::time_point before = steady_clock::now();
  const steady_clock::time_point ours{std::chrono::nanoseconds(monotonicNs())};
  EXPECT_LE(before, ours);
  EXPECT_LE(ours, steady_clock::now());
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

// The raster threads of this process, "llvmpipe-N:CPUS " for each, by name.
static std::string rasterThreadCpus() {
  std::map<std::string, std::string> threads;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::string name;
    std::getline(std::ifstream(task.path() / "comm"), name);
    std::ifstream status(task.path() / "status");
    for (std::string line; name.rfind("llvmpipe-", 0) == 0 && std::getline(status, line);)
      if (line.rfind("Cpus_allowed_list:", 0) == 0) threads[name] = line.substr(line.find_last_of("\t ") + 1);
  }
  std::string all;
  for (const auto& [name, cpus] : threads) all += name + ":" + cpus + " ";
  return all;
}

// In a real Mesa context with ten raster threads; the caller always keeps its CPUs.
TEST(RasterThreadTest, ThreadsArePinnedRoundTheCpusOnlyWithLlvmpipe) {
  setenv("LP_NUM_THREADS", "10", 1);
  cpu_set_t all;
  ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
  ASSERT_TRUE(CPU_ISSET(0, &all) && CPU_ISSET(1, &all)) << "this test needs CPUs 0 and 1";
  ASSERT_EQ(makeHeadlessGlContextCurrent(), "");
  const char* llvmpipe = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  struct Case {
    const char* name;
    int cpus;               // this thread may use CPUs 0 to cpus - 1
    const char* renderer;   // as the game passes it
    const char* turnedOff;  // ZARNOK_PIN_RASTER_THREADS, or null
    const char* callerName;
    int pinned;
  };
  std::atomic<bool> done{false};
  std::thread bystander([&done] {
    while (!done) usleep(1000);
  });
  pthread_setname_np(bystander.native_handle(), "llvmpipe-x");  // named like one, never pinned
  const auto openFiles = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  };
  const long filesBefore = openFiles();
  const Case cases[] = {
      {"no renderer (no context)", 2, nullptr, nullptr, "platform_test", 0},
      {"another renderer", 2, "Some GPU", nullptr, "platform_test", 0},
      {"turned off", 2, llvmpipe, "0", "platform_test", 0},
      {"one CPU", 1, llvmpipe, nullptr, "platform_test", 0},
      {"two CPUs", 2, llvmpipe, nullptr, "platform_test", 10},
      {"caller named like a raster thread", 2, llvmpipe, nullptr, "llvmpipe-1", 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cpu_set_t mine;
    CPU_ZERO(&mine);
    for (int cpu = 0; cpu < c.cpus; cpu++) CPU_SET(cpu, &mine);
    ASSERT_EQ(sched_setaffinity(0, sizeof mine, &mine), 0);
    c.turnedOff ? setenv("ZARNOK_PIN_RASTER_THREADS", c.turnedOff, 1) : unsetenv("ZARNOK_PIN_RASTER_THREADS");
    pthread_setname_np(pthread_self(), c.callerName);
    EXPECT_EQ(spreadRasterThreads(c.renderer), c.pinned);
    cpu_set_t after;
    ASSERT_EQ(sched_getaffinity(0, sizeof after, &after), 0);
    EXPECT_TRUE(CPU_EQUAL(&after, &mine)) << "the calling thread's CPUs";
  }
  done = true;
  bystander.join();
  EXPECT_EQ(openFiles(), filesBefore) << "the task folder closed again";
  EXPECT_EQ(rasterThreadCpus(),
            "llvmpipe-0:0 llvmpipe-1:1 llvmpipe-2:0 llvmpipe-3:1 llvmpipe-4:0 llvmpipe-5:1 llvmpipe-6:0 "
            "llvmpipe-7:1 "
            "llvmpipe-8:0 llvmpipe-9:1 ");
  sched_setaffinity(0, sizeof all, &all);
}
