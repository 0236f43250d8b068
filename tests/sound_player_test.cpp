// sound_player_test.cpp -- the sound player against a recording stand-in of the
// sound library: the order of the library calls and their arguments are what the
// player promises, so the calls are recorded at the library's boundary and compared.
#include "sound/sound_player.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// ---------------------------------------------------------------- recording library

struct FSOUND_STREAM {
  int id;
};
struct FSOUND_SAMPLE {
  int id;
};
struct FSOUND_DSPUNIT {
  int id;
};

namespace {

FSOUND_STREAM titleStream{1};
FSOUND_SAMPLE crashSample{2};
FSOUND_DSPUNIT spectrumUnit{3};
void* const DESKTOP = reinterpret_cast<void*>(0xD35C);

std::vector<std::string> calls;  // every call, "Name(arg, arg)"
signed char initResult = 1;
int nextChannel = 7;  // what the next Stream_Play / PlaySound returns
FSOUND_STREAM* openResult = &titleStream;
FSOUND_SAMPLE* loadResult = &crashSample;

std::string handle(const void* p) {
  if (p == nullptr) return "null";
  if (p == &titleStream) return "stream";
  if (p == &crashSample) return "sample";
  if (p == &spectrumUnit) return "fft";
  if (p == DESKTOP) return "desktop";
  return "other";
}

void record(const std::string& call) { calls.push_back(call); }

}  // namespace

signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags) {
  record("Init(" + std::to_string(mixRate) + ", " + std::to_string(maxSoftwareChannels) + ", " +
         std::to_string(flags) + ")");
  return initResult;
}
FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit() {
  record("DSP_GetFFTUnit()");
  return &spectrumUnit;
}
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active) {
  record("DSP_SetActive(" + handle(unit) + ", " + std::to_string(active) + ")");
  return 1;
}
signed char FSOUND_SetHWND(void* windowHandle) {
  record("SetHWND(" + handle(windowHandle) + ")");
  return 1;
}
FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned int mode, int offset, int length) {
  record("Stream_Open(" + std::string(path) + ", " + std::to_string(mode) + ", " + std::to_string(offset) +
         ", " + std::to_string(length) + ")");
  return openResult;
}
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  record("Stream_Play(" + std::to_string(channel) + ", " + handle(stream) + ")");
  return nextChannel;
}
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
  record("Stream_Stop(" + handle(stream) + ")");
  return 1;
}
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  record("Stream_Close(" + handle(stream) + ")");
  return 1;
}
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* path, unsigned int mode, int offset, int length) {
  record("Sample_Load(" + std::to_string(index) + ", " + std::string(path) + ", " + std::to_string(mode) +
         ", " + std::to_string(offset) + ", " + std::to_string(length) + ")");
  return loadResult;
}
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  record("PlaySound(" + std::to_string(channel) + ", " + handle(sample) + ")");
  return nextChannel;
}
signed char FSOUND_SetVolume(int channel, int volume) {
  record("SetVolume(" + std::to_string(channel) + ", " + std::to_string(volume) + ")");
  return 1;
}

// ---------------------------------------------------------------- tests

namespace {

using Calls = std::vector<std::string>;

class SoundPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    initResult = 1;
    nextChannel = 7;
    openResult = &titleStream;
    loadResult = &crashSample;
    WindowHandleHolder::instance().setHandle(DESKTOP);
  }
  void TearDown() override { WindowHandleHolder::instance().setHandle(nullptr); }
};

TEST_F(SoundPlayerTest, InitStartsTheLibrarySwitchesOnTheSpectrumAndAttachesTheWindow) {
  SoundPlayer player;
  player.channel = 12;
  player.volume = 3;
  EXPECT_TRUE(player.init());
  EXPECT_EQ(calls,
            (Calls{"Init(44100, 32, 0)", "DSP_GetFFTUnit()", "DSP_SetActive(fft, 1)", "SetHWND(desktop)"}));
  EXPECT_EQ(player.channel, -1);
  EXPECT_EQ(player.volume, 255);
}

TEST_F(SoundPlayerTest, InitThatFailsTouchesNothingElse) {
  SoundPlayer player;
  player.channel = 12;
  player.volume = 3;
  initResult = 0;
  EXPECT_FALSE(player.init());
  EXPECT_EQ(calls, (Calls{"Init(44100, 32, 0)"}));
  EXPECT_EQ(player.channel, 12);
  EXPECT_EQ(player.volume, 3);
}

TEST_F(SoundPlayerTest, WindowHandleHolderIsOneProgramWideObject) {
  WindowHandleHolder::instance().setHandle(&spectrumUnit);
  EXPECT_EQ(&WindowHandleHolder::instance(), &WindowHandleHolder::instance());
  EXPECT_EQ(WindowHandleHolder::instance().getHandle(), &spectrumUnit);
  SoundPlayer player;
  player.init();
  EXPECT_EQ(calls.back(), "SetHWND(fft)");
}

TEST_F(SoundPlayerTest, OpenMusicPicksTheLoopingOrTheNormalMode) {
  SoundPlayer player;
  EXPECT_TRUE(player.openMusic("sounds\\bgm_main.wav", true));
  EXPECT_EQ(player.stream, &titleStream);
  EXPECT_TRUE(player.openMusic("sounds\\bgm_game.wav", false));
  EXPECT_EQ(calls, (Calls{"Stream_Open(sounds\\bgm_main.wav, 2, 0, 0)",
                          "Stream_Open(sounds\\bgm_game.wav, 304, 0, 0)"}));
  // A file that cannot be opened leaves a null stream, stored as it is.
  openResult = nullptr;
  EXPECT_TRUE(player.openMusic("sounds\\missing.wav", true));
  EXPECT_EQ(player.stream, nullptr);
}

TEST_F(SoundPlayerTest, PlayMusicSetsTheVolumeOnTheChannelItGot) {
  SoundPlayer player;
  player.init();
  player.openMusic("sounds\\bgm_main.wav", true);
  calls.clear();
  nextChannel = 5;
  EXPECT_TRUE(player.playMusic());
  EXPECT_EQ(calls, (Calls{"Stream_Play(-1, stream)", "SetVolume(5, 255)"}));
  EXPECT_EQ(player.channel, 5);

  // With no stream the null handle and the channel returned for it go on unchanged.
  player.stream = nullptr;
  player.volume = 80;
  nextChannel = -1;
  calls.clear();
  EXPECT_TRUE(player.playMusic());
  EXPECT_EQ(calls, (Calls{"Stream_Play(-1, null)", "SetVolume(-1, 80)"}));
  EXPECT_EQ(player.channel, -1);
}

TEST_F(SoundPlayerTest, StopMusicClosesAnOpenStreamOnlyOnce) {
  SoundPlayer player;
  EXPECT_TRUE(player.stopMusic());
  EXPECT_TRUE(calls.empty());

  player.openMusic("sounds\\bgm_main.wav", true);
  calls.clear();
  EXPECT_TRUE(player.stopMusic());
  EXPECT_EQ(calls, (Calls{"Stream_Stop(stream)", "Stream_Close(stream)"}));
  EXPECT_EQ(player.stream, nullptr);
  EXPECT_TRUE(player.stopMusic());
  EXPECT_EQ(calls.size(), 2u);
}

TEST_F(SoundPlayerTest, EffectsPlayAtTheVolumeTheirKindAsksFor) {
  SoundPlayer player;
  player.init();
  player.volume = 200;
  calls.clear();
  EXPECT_TRUE(player.loadEffect("sounds\\crash.wav"));
  EXPECT_EQ(player.effectSample, &crashSample);
  nextChannel = 3;
  EXPECT_TRUE(player.playEffect(0));
  EXPECT_EQ(player.channel, 3);
  nextChannel = 4;
  EXPECT_TRUE(player.playEffect(1));
  EXPECT_EQ(player.channel, 4);
  nextChannel = 9;
  EXPECT_TRUE(player.playEffect(2));
  EXPECT_TRUE(player.playEffect(-1));
  EXPECT_EQ(player.channel, 9);
  EXPECT_EQ(calls, (Calls{"Sample_Load(-1, sounds\\crash.wav, 304, 0, 0)", "PlaySound(-1, sample)",
                          "SetVolume(3, 50)", "PlaySound(-1, sample)", "SetVolume(4, 200)",
                          "PlaySound(-1, sample)", "PlaySound(-1, sample)"}));
}

TEST_F(SoundPlayerTest, EffectAfterMusicTakesOverTheChannel) {
  SoundPlayer player;
  player.init();
  player.openMusic("sounds\\bgm_main.wav", true);
  nextChannel = 0;
  player.playMusic();
  // A missing effect file: the null sample is played and the channel it gets kept.
  loadResult = nullptr;
  player.loadEffect("sounds\\missing.wav");
  EXPECT_EQ(player.effectSample, nullptr);
  nextChannel = -1;
  player.playEffect(1);
  EXPECT_EQ(player.channel, -1);
  EXPECT_EQ(calls.back(), "SetVolume(-1, 255)");
  EXPECT_EQ(player.stream, &titleStream);  // the music stays open
}

TEST_F(SoundPlayerTest, DestroyingThePlayerLeavesTheLibraryAlone) {
  {
    SoundPlayer player;
    player.init();
    player.openMusic("sounds\\bgm_main.wav", true);
    player.playMusic();
    player.loadEffect("sounds\\crash.wav");
    calls.clear();
  }
  EXPECT_TRUE(calls.empty());
}

}  // namespace
