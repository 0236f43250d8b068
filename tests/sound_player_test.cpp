// sound_player_test.cpp -- the sound player against the recording stand-in of the sound
// library: the calls it makes, in order and with their arguments, and what it keeps.
#include "sound/sound_player.h"

#include <gtest/gtest.h>

#include "tests/support/sound_recorder.h"

TEST(SoundPlayerTest, MakesTheLibraryCallsInOrderAndKeepsWhatItIsGiven) {
  SoundRecorder& library = soundRecorder();
  library.reset();
  WindowHandleHolder::instance().setHandle(&library);
  SoundPlayer player;
  library.initResult = 0;
  EXPECT_FALSE(player.init());
  library.initResult = 1;
  EXPECT_TRUE(player.init() && player.stopMusic() && player.openMusic("sounds\\bgm_main.wav", true));
  EXPECT_EQ(std::make_pair(player.channel, player.volume), std::make_pair(-1, 255));
  library.nextChannel = 5;
  EXPECT_TRUE(player.playMusic() && player.channel == 5 && player.stopMusic() && player.stream == nullptr);
  EXPECT_TRUE(player.openMusic("sounds\\bgm_game.wav", false) && player.loadEffect("sounds\\crash.wav"));
  player.volume = 200;
  for (int kind : {0, 1, 2}) {
    library.nextChannel = 3 + kind;
    EXPECT_TRUE(player.playEffect(kind) && player.channel == 3 + kind) << kind;
  }
  EXPECT_EQ(library.take(),
            (std::vector<std::string>{
                "Init(44100, 32, 0)", "Init(44100, 32, 0)", "DSP_GetFFTUnit()", "DSP_SetActive(fft, 1)",
                "SetHWND(handle)", "Stream_Open(sounds\\bgm_main.wav, 2, 0, 0)", "Stream_Play(-1, stream)",
                "SetVolume(5, 255)", "Stream_Stop(stream)", "Stream_Close(stream)",
                "Stream_Open(sounds\\bgm_game.wav, 304, 0, 0)",
                "Sample_Load(-1, sounds\\crash.wav, 304, 0, 0)", "PlaySound(-1, sample)", "SetVolume(3, 50)",
                "PlaySound(-1, sample)", "SetVolume(4, 200)", "PlaySound(-1, sample)"}));
  WindowHandleHolder::instance().setHandle(nullptr);
}
