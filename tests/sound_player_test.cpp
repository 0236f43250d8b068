// sound_player_test.cpp -- the sound player against the recording stand-in of the sound
// library, where the game's tests do not take it: the calls it makes, in order and with
// their arguments, and what it keeps.
#include "sound/sound_player.h"

#include <gtest/gtest.h>

#include "tests/support/sound_recorder.h"

namespace {

using Calls = std::vector<std::string>;

// A player whose channel and volume are not yet what a start sets, over a library that starts
// and hands out channel 5.
class SoundPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library.reset();
    library.nextChannel = 5;
    WindowHandleHolder::instance().setHandle(&library);
    player.channel = 3;
    player.volume = 7;
  }
  void TearDown() override { WindowHandleHolder::instance().setHandle(nullptr); }
  SoundRecorder& library = soundRecorder();
  SoundPlayer player;
};

TEST_F(SoundPlayerTest, InitThatCannotStartTheLibraryStopsThere) {
  library.initResult = 0;
  EXPECT_FALSE(player.init());
  EXPECT_EQ(library.take(), Calls{"Init(44100, 32, 0)"});
  EXPECT_EQ(player.channel, 3);
  EXPECT_EQ(player.volume, 7);
}

// A stream opened to play once, stopped and closed; a second stop, with nothing open, calls
// nothing. (The looping music and the effects of steering and the crash are in the game's
// own sound logs, in game_test.)
TEST_F(SoundPlayerTest, OneShotStreamIsClosedOnce) {
  EXPECT_TRUE(player.openMusic("sounds\\bgm_game.wav", false));
  EXPECT_TRUE(player.stopMusic());
  EXPECT_EQ(player.stream, nullptr);
  EXPECT_TRUE(player.stopMusic());
  EXPECT_EQ(library.take(), (Calls{"Stream_Open(sounds\\bgm_game.wav, 304, 0, 0)", "Stream_Stop(stream)",
                                   "Stream_Close(stream)"}));
}

// An effect of a kind other than steering (0) and the crash (1) keeps the library's volume.
TEST_F(SoundPlayerTest, EffectOfAnotherKindKeepsTheLibrarysVolume) {
  EXPECT_TRUE(player.loadEffect("sounds\\crash.wav"));
  EXPECT_TRUE(player.playEffect(2));
  EXPECT_EQ(player.channel, 5);
  EXPECT_EQ(library.take(),
            (Calls{"Sample_Load(-1, sounds\\crash.wav, 304, 0, 0)", "PlaySound(-1, sample)"}));
}

}  // namespace
