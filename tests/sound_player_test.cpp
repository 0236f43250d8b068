// sound_player_test.cpp -- the sound player and the game's music switch against a
// recording stand-in of the sound library (defined here, it takes the place of the
// real one): the order of the library calls and their arguments are what the player
// promises, so the calls are recorded at the library's boundary and compared.
#include "sound/sound_player.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "game/game_state.h"

struct FSOUND_STREAM {};
struct FSOUND_SAMPLE {};
struct FSOUND_DSPUNIT {};

namespace {

FSOUND_STREAM titleStream;
FSOUND_SAMPLE crashSample;
FSOUND_DSPUNIT spectrumUnit;
void* const DESKTOP = reinterpret_cast<void*>(0xD35C);

// What the stand-in returns, and every call it got as "Name(arg, arg)".
struct Library {
  signed char initResult = 1;
  int nextChannel = 7;  // from Stream_Play and PlaySound
  FSOUND_STREAM* openResult = &titleStream;
  FSOUND_SAMPLE* loadResult = &crashSample;
  std::vector<std::string> calls;
} lib;

std::string text(int value) { return std::to_string(value); }
std::string text(unsigned value) { return std::to_string(value); }
std::string text(const char* path) { return path; }
std::string text(const void* p) {
  for (auto [handle, name] : {std::pair<const void*, const char*>{nullptr, "null"},
                              {&titleStream, "stream"},
                              {&crashSample, "sample"},
                              {&spectrumUnit, "fft"},
                              {DESKTOP, "desktop"}})
    if (p == handle) return name;
  return "other";
}

template <typename... Args>
void record(const char* name, Args... args) {
  std::string call;
  ((call += (call.empty() ? "" : ", ") + text(args)), ...);
  lib.calls.push_back(std::string(name) + "(" + call + ")");
}

}  // namespace

signed char FSOUND_Init(int rate, int channels, unsigned flags) {
  return record("Init", rate, channels, flags), lib.initResult;
}
FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit() { return record("DSP_GetFFTUnit"), &spectrumUnit; }
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char on) {
  return record("DSP_SetActive", unit, on), 1;
}
signed char FSOUND_SetHWND(void* window) { return record("SetHWND", window), 1; }
FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned mode, int offset, int length) {
  return record("Stream_Open", path, mode, offset, length), lib.openResult;
}
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  return record("Stream_Play", channel, stream), lib.nextChannel;
}
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream) { return record("Stream_Stop", stream), 1; }
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) { return record("Stream_Close", stream), 1; }
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* path, unsigned mode, int offset, int length) {
  return record("Sample_Load", index, path, mode, offset, length), lib.loadResult;
}
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  return record("PlaySound", channel, sample), lib.nextChannel;
}
signed char FSOUND_SetVolume(int channel, int volume) { return record("SetVolume", channel, volume), 1; }

namespace {

using Calls = std::vector<std::string>;

class SoundPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { WindowHandleHolder::instance().setHandle(DESKTOP); }
  void TearDown() override {
    WindowHandleHolder::instance().setHandle(nullptr);
    soundPlayer = nullptr;
    lib = {};
  }
  SoundPlayer player;
};

TEST_F(SoundPlayerTest, InitStartsTheLibraryAndOnlyThenTheSpectrumAndTheWindow) {
  EXPECT_EQ(&WindowHandleHolder::instance(), &WindowHandleHolder::instance());
  EXPECT_EQ(WindowHandleHolder::instance().getHandle(), DESKTOP);
  for (int result : {0, 1}) {
    lib.calls.clear();
    lib.initResult = static_cast<signed char>(result);
    player.channel = 12;
    player.volume = 3;
    EXPECT_EQ(player.init(), result == 1);
    const Calls started = {"Init(44100, 32, 0)", "DSP_GetFFTUnit()", "DSP_SetActive(fft, 1)",
                           "SetHWND(desktop)"};
    EXPECT_EQ(lib.calls, result ? started : Calls{started[0]});
    EXPECT_EQ(player.channel, result ? -1 : 12);
    EXPECT_EQ(player.volume, result ? 255 : 3);
  }
}

// Music opens in looping (0x2) or normal (0x130) mode, plays at the player's volume on
// the channel it got, and is stopped and closed once. A missing file's null stream,
// and the channel returned for it, are passed on unchanged.
TEST_F(SoundPlayerTest, MusicIsOpenedPlayedAndClosedAsAsked) {
  player.init();
  lib.calls.clear();
  EXPECT_TRUE(player.stopMusic());  // nothing open: no call
  EXPECT_TRUE(player.openMusic("sounds\\bgm_main.wav", true));
  EXPECT_EQ(player.stream, &titleStream);
  lib.nextChannel = 5;
  EXPECT_TRUE(player.playMusic());
  EXPECT_EQ(player.channel, 5);
  EXPECT_TRUE(player.stopMusic());
  EXPECT_TRUE(player.stopMusic());
  EXPECT_EQ(player.stream, nullptr);
  lib.openResult = nullptr;
  lib.nextChannel = -1;
  player.volume = 80;
  EXPECT_TRUE(player.openMusic("sounds\\bgm_game.wav", false));
  EXPECT_TRUE(player.playMusic());
  EXPECT_EQ(player.channel, -1);
  EXPECT_EQ(lib.calls, (Calls{"Stream_Open(sounds\\bgm_main.wav, 2, 0, 0)", "Stream_Play(-1, stream)",
                              "SetVolume(5, 255)", "Stream_Stop(stream)", "Stream_Close(stream)",
                              "Stream_Open(sounds\\bgm_game.wav, 304, 0, 0)", "Stream_Play(-1, null)",
                              "SetVolume(-1, 80)"}));
}

// Kind 0 plays at volume 50, kind 1 at the player's volume, any other kind with no
// volume call; the player keeps the effect's channel, also that of a null sample.
TEST_F(SoundPlayerTest, EffectsPlayAtTheVolumeTheirKindAsksFor) {
  player.init();
  player.volume = 200;
  lib.calls.clear();
  EXPECT_TRUE(player.loadEffect("sounds\\crash.wav"));
  EXPECT_EQ(player.effectSample, &crashSample);
  for (int kind : {0, 1, 2, -1}) {
    lib.nextChannel = 3 + kind;
    EXPECT_TRUE(player.playEffect(kind));
    EXPECT_EQ(player.channel, 3 + kind);
  }
  lib.loadResult = nullptr;
  lib.nextChannel = -1;
  player.loadEffect("sounds\\missing.wav");
  player.playEffect(1);
  EXPECT_EQ(player.channel, -1);
  EXPECT_EQ(lib.calls,
            (Calls{"Sample_Load(-1, sounds\\crash.wav, 304, 0, 0)", "PlaySound(-1, sample)",
                   "SetVolume(3, 50)", "PlaySound(-1, sample)", "SetVolume(4, 200)", "PlaySound(-1, sample)",
                   "PlaySound(-1, sample)", "Sample_Load(-1, sounds\\missing.wav, 304, 0, 0)",
                   "PlaySound(-1, null)", "SetVolume(-1, 200)"}));
}

TEST_F(SoundPlayerTest, DestroyingThePlayerLeavesTheLibraryAlone) {
  {
    SoundPlayer local;
    local.init();
    local.openMusic("sounds\\bgm_main.wav", true);
    local.playMusic();
    local.loadEffect("sounds\\crash.wav");
    lib.calls.clear();
  }
  EXPECT_TRUE(lib.calls.empty());
}

// The game's music switch stops the music first; the same mode again starts its tune
// anew; a mode other than 0 or 1 leaves the music stopped.
TEST_F(SoundPlayerTest, SwitchMusicRestartsTheTuneItsModeNamesOrNone) {
  soundPlayer = &player;
  player.init();
  lib.calls.clear();
  const Calls game = {"Stream_Open(sounds\\bgm_game.wav, 2, 0, 0)", "Stream_Play(-1, stream)",
                      "SetVolume(7, 255)"},
              title = {"Stream_Open(sounds\\bgm_main.wav, 2, 0, 0)", "Stream_Play(-1, stream)",
                       "SetVolume(7, 255)"},
              stop = {"Stream_Stop(stream)", "Stream_Close(stream)"};
  for (int mode : {1, 1, 2, 0}) {
    player.musicMode = mode;
    switchMusic();
  }
  Calls expected;
  for (const Calls* part : {&game, &stop, &game, &stop, &title})
    expected.insert(expected.end(), part->begin(), part->end());
  EXPECT_EQ(lib.calls, expected);
}

}  // namespace
