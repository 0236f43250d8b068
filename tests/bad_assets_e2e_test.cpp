// bad_assets_e2e_test.cpp -- the real game in a hostile working directory: every
// asset missing, empty, truncated or replaced by random bytes, one at a time and all
// at once. The game must start, keep running through a round, print only the texture
// reader's own messages, and end with ESC as usual.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "tests/support/game_process.h"

namespace fs = std::filesystem;

namespace {

enum class Damage { Missing, Empty, Truncated, Random };

const char* damageName(Damage d) {
  switch (d) {
    case Damage::Missing: return "missing";
    case Damage::Empty: return "empty";
    case Damage::Truncated: return "truncated";
    case Damage::Random: return "random";
  }
  return "?";
}

// Every asset the game reads, relative to the asset folder.
std::vector<std::string> assetFiles() {
  std::vector<std::string> files;
  fs::path root(ZARNOK_ASSET_DIR);
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::string rel = fs::relative(entry.path(), root).string();
    std::string ext = entry.path().extension().string();
    if (ext == ".bmp" || ext == ".wav" || rel == "fonts/techno1.glf") files.push_back(rel);
  }
  std::sort(files.begin(), files.end());
  return files;
}

void damage(const fs::path& file, Damage how, unsigned seed) {
  if (how == Damage::Missing) {
    fs::remove(file);
    return;
  }
  std::string bytes;
  {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    bytes = s.str();
  }
  if (how == Damage::Empty) bytes.clear();
  if (how == Damage::Truncated) bytes.resize(bytes.size() / 2);
  if (how == Damage::Random) {
    std::mt19937 rng(seed);
    for (char& c : bytes) c = char(rng() & 0xff);
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Lines the game may print: the texture reader's messages, nothing else.
bool onlyExpectedMessages(const std::string& output, std::string* unexpected) {
  static const std::regex allowed(
      "^(Could not open file '.*'|Error reading BMP .*|Error allocating pixel memory|"
      "Sorry, this code .*|Image .*)$");
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    if (!std::regex_match(line, allowed)) {
      *unexpected = line;
      return false;
    }
  }
  return true;
}

// Copies the assets into a fresh folder, damages the given files, plays briefly.
void playWithDamagedAssets(const std::vector<std::string>& files, Damage how) {
  fs::path dir = fs::temp_directory_path() / ("zarnok-bad-assets-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::copy(ZARNOK_ASSET_DIR, dir, fs::copy_options::recursive);
  unsigned seed = 1;
  for (const auto& f : files) damage(dir / f, how, seed++);

  GameProcess game;
  ASSERT_TRUE(game.start(dir.string()));
  ASSERT_TRUE(game.waitForWindow("Trelvisk")) << game.output();
  usleep(300000);
  game.key("space");
  game.mouseDown(1);
  usleep(400000);
  game.mouseUp(1);
  game.mouseDown(3);
  usleep(300000);
  game.mouseUp(3);
  EXPECT_TRUE(game.running()) << "the game died\n" << game.output();
  game.key("Escape");
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
  std::string unexpected;
  EXPECT_TRUE(onlyExpectedMessages(game.output(), &unexpected)) << "unexpected output: " << unexpected;
  fs::remove_all(dir);
}

}  // namespace

TEST(BadAssetsTest, TheAssetsAreThere) {
  // Everything below damages these; without them the cases would test nothing.
  auto files = assetFiles();
  EXPECT_GE(files.size(), 15u) << "expected ten textures, four sounds and the font";
}

TEST(BadAssetsTest, EachAssetDamagedAlone) {
  for (Damage how : {Damage::Missing, Damage::Empty, Damage::Truncated, Damage::Random}) {
    for (const auto& file : assetFiles()) {
      SCOPED_TRACE(file + " " + damageName(how));
      playWithDamagedAssets({file}, how);
    }
  }
}

TEST(BadAssetsTest, AllAssetsDamagedAtOnce) {
  for (Damage how : {Damage::Missing, Damage::Empty, Damage::Truncated, Damage::Random}) {
    SCOPED_TRACE(damageName(how));
    playWithDamagedAssets(assetFiles(), how);
  }
}
