// sound_player_test.cpp -- the sound player against the recording stand-in of the sound
// library: the calls it makes, in order and with their arguments, and what it keeps.
#include "sound/sound_player.h"

#include <gtest/gtest.h>

#include "tests/support/sound_recorder.h"

using Calls = std::vector<std::string>;

TEST(SoundPlayerTest, MakesTheLibraryCallsInOrderAndKeepsWhatItIsGiven) {
  SoundRecorder& library = soundRecorder();
  library.reset();
  int window = 0;
  WindowHandleHolder::instance().setHandle(&window);
  SoundPlayer player;
  player.channel = 12;
  player.volume = 3;
  library.initResult = 0;
  EXPECT_FALSE(player.init());
  EXPECT_EQ(library.take(), Calls{"Init(44100, 32, 0)"});
  EXPECT_EQ(std::make_pair(player.channel, player.volume), std::make_pair(12, 3))
      << "a failed start keeps them";

  library.initResult = 1;
  EXPECT_TRUE(player.init());
  EXPECT_EQ(std::make_pair(player.channel, player.volume), std::make_pair(-1, 255));
  EXPECT_TRUE(player.stopMusic());  // nothing open: no call
  EXPECT_TRUE(player.openMusic("sounds\\bgm_main.wav", true));
  library.nextChannel = 5;
  EXPECT_TRUE(player.playMusic());
  EXPECT_EQ(player.channel, 5);
  EXPECT_TRUE(player.stopMusic());
  EXPECT_EQ(player.stream, nullptr);
  EXPECT_TRUE(player.openMusic("sounds\\bgm_game.wav", false));
  EXPECT_TRUE(player.loadEffect("sounds\\crash.wav"));
  player.volume = 200;
  for (int kind : {0, 1, 2}) {
    library.nextChannel = 3 + kind;
    EXPECT_TRUE(player.playEffect(kind));
    EXPECT_EQ(player.channel, 3 + kind);
  }
  EXPECT_EQ(
      library.take(),
      (Calls{"Init(44100, 32, 0)", "DSP_GetFFTUnit()", "DSP_SetActive(fft, 1)", "SetHWND(handle)",
             "Stream_Open(sounds\\bgm_main.wav, 2, 0, 0)", "Stream_Play(-1, stream)", "SetVolume(5, 255)",
             "Stream_Stop(stream)", "Stream_Close(stream)", "Stream_Open(sounds\\bgm_game.wav, 304, 0, 0)",
             "Sample_Load(-1, sounds\\crash.wav, 304, 0, 0)", "PlaySound(-1, sample)", "SetVolume(3, 50)",
             "PlaySound(-1, sample)", "SetVolume(4, 200)", "PlaySound(-1, sample)"}));
  WindowHandleHolder::instance().setHandle(nullptr);
}

// A sound file that cannot be read: the null handles, and the channel the library
// returns for them, are kept and passed on as they are.
TEST(SoundPlayerTest, PassesOnTheNullHandlesOfUnreadableFiles) {
  SoundRecorder& library = soundRecorder();
  library.reset();
  library.openFails = library.loadFails = true;
  library.nextChannel = -1;
  SoundPlayer player;
  player.init();
  library.take();
  player.openMusic("sounds\\bgm_main.wav", true);
  player.playMusic();
  EXPECT_TRUE(player.stopMusic());
  player.loadEffect("sounds\\move.wav");
  player.playEffect(0);
  EXPECT_EQ(player.effectSample, nullptr);
  EXPECT_EQ(player.channel, -1);
  EXPECT_EQ(library.take(), (Calls{"Stream_Open(sounds\\bgm_main.wav, 2, 0, 0)", "Stream_Play(-1, null)",
                                   "SetVolume(-1, 255)", "Sample_Load(-1, sounds\\move.wav, 304, 0, 0)",
                                   "PlaySound(-1, null)", "SetVolume(-1, 50)"}));
}
