// sound_player_test.cpp -- the sound player against the recording stand-in of the sound
// library: the calls it makes, in order and with their arguments, and what it keeps.
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

TEST_F(SoundPlayerTest, InitStartsTheSpectrumAndGivesTheWindowHandle) {
  EXPECT_TRUE(player.init());
  EXPECT_EQ(library.take(),
            (Calls{"Init(44100, 32, 0)", "DSP_GetFFTUnit()", "DSP_SetActive(fft, 1)", "SetHWND(handle)"}));
  EXPECT_EQ(player.channel, -1);
  EXPECT_EQ(player.volume, 255);
}

TEST_F(SoundPlayerTest, InitThatCannotStartTheLibraryStopsThere) {
  library.initResult = 0;
  EXPECT_FALSE(player.init());
  EXPECT_EQ(library.take(), Calls{"Init(44100, 32, 0)"});
  EXPECT_EQ(player.channel, 3);
  EXPECT_EQ(player.volume, 7);
}

// Open, play at the player's volume, stop and close; a stop with nothing open calls nothing.
TEST_F(SoundPlayerTest, MusicStreamIsOpenedPlayedAndClosedInTurn) {
  EXPECT_TRUE(player.openMusic("sounds\\bgm_game.wav", false));
  EXPECT_TRUE(player.openMusic("sounds\\bgm_main.wav", true));
  EXPECT_TRUE(player.playMusic());
  EXPECT_EQ(player.channel, 5);
  EXPECT_TRUE(player.stopMusic());
  EXPECT_EQ(player.stream, nullptr);
  EXPECT_TRUE(player.stopMusic());
  EXPECT_EQ(library.take(), (Calls{"Stream_Open(sounds\\bgm_game.wav, 304, 0, 0)",
                                   "Stream_Open(sounds\\bgm_main.wav, 2, 0, 0)", "Stream_Play(-1, stream)",
                                   "SetVolume(5, 7)", "Stream_Stop(stream)", "Stream_Close(stream)"}));
}

// Steering at 50, the crash at the player's volume, any other kind at the library's.
TEST_F(SoundPlayerTest, EffectsPlayAtTheVolumeOfTheirKind) {
  EXPECT_TRUE(player.loadEffect("sounds\\crash.wav"));
  for (int kind : {0, 1, 2}) {
    player.channel = 3;
    EXPECT_TRUE(player.playEffect(kind));
    EXPECT_EQ(player.channel, 5) << "kind " << kind;
  }
  EXPECT_EQ(library.take(),
            (Calls{"Sample_Load(-1, sounds\\crash.wav, 304, 0, 0)", "PlaySound(-1, sample)",
                   "SetVolume(5, 50)", "PlaySound(-1, sample)", "SetVolume(5, 7)", "PlaySound(-1, sample)"}));
}

}  // namespace
