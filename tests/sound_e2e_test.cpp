// sound_e2e_test.cpp -- the real game and its sound: with no usable sound driver it
// plays on in silence and says nothing about it; with SDL's disk driver the output
// holds the title tune from the start, the game tune once space is pressed, and the
// steering sound over it while a mouse button is held.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "tests/sound_capture.h"
#include "tests/support/game_process.h"

namespace {

using namespace sound_capture;

const char* const WINDOW_TITLE = "Trelvisk";

// Lines that speak of sound, and lines printed more than once.
std::string complaints(const std::string& output) {
  static const std::regex aboutSound("alsa|sdl|audio|sound|mixer|wav|pcm", std::regex::icase);
  std::string found;
  std::map<std::string, int> seen;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (std::regex_search(line, aboutSound)) found += "about sound: " + line + "\n";
    if (++seen[line] == 2) found += "repeated: " + line + "\n";
  }
  return found;
}

TEST(SoundEndToEndTest, WithoutAUsableDriverTheGamePlaysOnInSilence) {
  // No such driver; a driver that starts but finds no sound card; no driver named.
  for (const char* driver : {"nonexistent", "alsa", ""}) {
    SCOPED_TRACE(std::string("SDL_AUDIODRIVER=") + driver);
    GameProcess game;
    ASSERT_TRUE(game.start("", {std::string("SDL_AUDIODRIVER=") + driver}));
    ASSERT_TRUE(game.waitForWindow(WINDOW_TITLE)) << game.output();
    EXPECT_TRUE(game.key("space"));
    usleep(200000);
    EXPECT_TRUE(game.mouseDown(1));  // steering asks for its sound sixty times a second
    usleep(300000);
    EXPECT_TRUE(game.mouseUp(1));
    EXPECT_TRUE(game.key("space"));
    usleep(200000);
    EXPECT_TRUE(game.running()) << game.output();
    ASSERT_TRUE(game.key("Escape"));
    EXPECT_EQ(game.waitForExit(10), 255) << game.output();
    EXPECT_EQ(complaints(game.output()), "");
  }
}

TEST(SoundEndToEndTest, TitleTuneThenGameTuneAndSteeringAreHeard) {
  const Samples titleTune = loadSound("bgm_main.wav"), gameTune = loadSound("bgm_game.wav");
  DiskCapture disk;
  GameProcess game;
  ASSERT_TRUE(game.start("", {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + disk.path()}));
  ASSERT_TRUE(game.waitForWindow(WINDOW_TITLE)) << game.output();
  Samples heard = disk.read(0, frames(1.0));
  EXPECT_LT(locate(heard, slice(titleTune, 0, 4096), 1.0, 0, frames(0.6)).residue, 1e-3)
      << "the title tune does not open the output";

  // Space starts a round and the game tune from its beginning.
  const size_t pressed = disk.written();
  ASSERT_TRUE(game.key("space"));
  heard = disk.read(pressed, frames(1.2));
  const Fit start = locate(heard, slice(gameTune, 0, 4096), 1.0, 0, frames(0.8));
  ASSERT_LT(start.residue, 1e-3) << "the game tune does not follow the space bar";

  // Holding a steering button adds the steering sound over the game tune. (Under Xvfb
  // the game draws slowly and steers on fewer ticks, so the sound comes and goes.)
  const size_t steerFrom = disk.written() - pressed;
  ASSERT_TRUE(game.mouseDown(1));
  usleep(300000);
  ASSERT_TRUE(game.mouseUp(1));
  heard = disk.read(pressed, steerFrom + frames(0.8));
  Samples rest;
  for (size_t i = steerFrom; i < heard.size(); ++i) rest.push_back(heard[i] - gameTune[i - start.offset]);
  double loudest = 0.0;
  for (size_t at = 0; at + frames(0.02) <= rest.size(); at += frames(0.02))
    loudest = std::max(loudest, rms(rest, at, frames(0.02)));
  EXPECT_GT(loudest, 0.01 * FULL_SCALE) << "steering makes no sound";

  EXPECT_TRUE(game.running()) << game.output();
  ASSERT_TRUE(game.key("Escape"));
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
}

}  // namespace
