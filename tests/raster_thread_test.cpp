// raster_thread_test.cpp -- the placement of the software renderer's raster threads, in a
// real Mesa context: Linux alone (thread names and CPU sets from /proc, sched_setaffinity).
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "platform/platform.h"
#include "tests/support/gl_context.h"

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
