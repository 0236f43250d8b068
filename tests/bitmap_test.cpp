// bitmap_test.cpp -- the game's bitmap pictures and textures, and the bitmap fonts with the
// font library's start-up and shut-down, on pictures ImageMagick writes and reads back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>

#include "font/bitmap_font.h"
#include "font/font_lifecycle.h"
#include "image/texture_loader.h"
#include "tests/support/gl_context.h"
#include "tools/common/bitmap_font_writer.h"

namespace {

namespace fw = bitmap_font_writer;
using Bytes = std::vector<uint8_t>;
const std::string kDir = ::testing::TempDir(), k24 = "-type TrueColor -compress None BMP3:";
const std::string k8 = "-type Palette -compress None BMP3:";

GLint integer(GLenum what, GLint value = -1) { return glGetIntegerv(what, &value), value; }
float modelviewX(std::array<float, 16> m = {}) { return glGetFloatv(GL_MODELVIEW_MATRIX, m.data()), m[12]; }
Bytes readFile(const std::string& path) {
  return Bytes(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

// ImageMagick writes a noise picture to path; returns its RGB pixels as it reads them, bottom row first.
Bytes makePicture(const std::string& path, int width, int height, const std::string& format) {
  const std::string command = "convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                              " xc: -seed 1 +noise Random -colors 200 " + format + path + " && convert " +
                              path + " -flip rgb:" + path + ".rgb";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return readFile(path + ".rgb");
}

TEST_F(GlTest, EachGameTextureHoldsItsFilesPixels) {  // byte alignment uploads rows of any width whole
  const std::tuple<GLint, GLint, std::string> files[] = {
      // both depths, padding, a 124-byte record
      {1, 2, k24}, {3, 2, k24},   {17, 3, k24}, {1024, 90, k24}, {6, 2, "-type TrueColor BMP:"},
      {5, 4, k8},  {1024, 2, k8}, {13, 3, k8},  {8, 1, k24},     {4, 5, k8}};
  char previous[4096];
  ASSERT_TRUE(getcwd(previous, sizeof previous) && chdir(kDir.c_str()) == 0);
  std::vector<Bytes> pixels;
  for (const auto& [width, height, format] : files)
    pixels.push_back(makePicture(textureFileName(TextureId(Ground + pixels.size())), width, height, format));
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  nextTextureName = 42;
  loadTextures();
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(nextTextureName, 11u);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (GLuint id = Ground; id <= RecordBoard; id++) {
    glBindTexture(GL_TEXTURE_2D, id);
    std::vector<GLint> got;
    for (GLenum what : {GL_TEXTURE_WIDTH, GL_TEXTURE_HEIGHT, GL_TEXTURE_INTERNAL_FORMAT})
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &got.emplace_back());
    for (GLenum what : {GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T})
      glGetTexParameteriv(GL_TEXTURE_2D, what, &got.emplace_back());
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &got.emplace_back());
    const auto& [width, height, format] = files[id - 1];
    EXPECT_EQ(got, std::vector<GLint>(
                       {width, height, GL_RGB, GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT, GL_REPLACE}));
    Bytes texels(pixels[id - 1].size());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_TRUE(texels == pixels[id - 1]) << format << width;
  }
}

// Bad files read over a good 4 x 2 picture, which refused ones (height 0) leave in place.
TEST(PictureReaderTest, ReportsEveryProblemInOneLine) {
  const std::string good = kDir + "good.bmp", bad = kDir + "bad.bmp";
  makePicture(good, 4, 2, k24);
  const std::tuple<size_t, size_t, int32_t, std::string, int32_t> cases[] = {
      {0, 1, 'A', "Error reading BMP file, file type incorrect\n", 0},
      {13, 0, 0, "Error reading BMP file header\n", 0},
      {53, 0, 0, "Error reading BMP Information record\n", 0},
      {0, 30, 1, "Sorry, this code cannot read compressed image files\n", 0},
      {0, 28, 16, "Sorry, this code can only read 8 bit or 24 bit image files\n", 0},
      {0, 22, INT32_MAX, "", 0},                           // over 2 GB
      {0, 22, -2, "Error allocating pixel memory\n", -2},  // top down
      {77, 0, 0, "Error reading BMP pixels\n", 2},
      {56, 28, 8, "Error reading BMP Color Table\nError reading BMP pixels\n", 2}};
  BmpImage image;
  for (const auto& [cut, at, value, message, height] : cases) {
    loadBmp(good.c_str(), image);
    const uint8_t* before = image.pixels;
    Bytes bytes = readFile(good);
    if (at) std::memcpy(&bytes[at], &value, 4);
    bytes.resize(cut ? cut : bytes.size());
    fw::writeFileBytes(bad, bytes);
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(loadBmp(bad.c_str(), image));
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(message.empty() ? std::count(printed.begin(), printed.end(), '\n') == 1 : printed == message);
    EXPECT_EQ(image.height, height ? height : 2) << printed;
    EXPECT_TRUE(height || image.pixels == before) << printed;
  }
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(loadBmp("missing.bmp", image));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Could not open file 'missing.bmp'\n");
  Bytes empty = readFile(good);  // no rows at all: a 4 x 0 picture
  empty[22] = 0;
  EXPECT_TRUE(fw::writeFileBytes(bad, empty) && loadBmp(bad.c_str(), image) && image.height == 0);
  releaseBmp(image);
  uint8_t field[4] = {1, 2, 3, 4};  // the byte swaps of big-endian hosts
  swap16(field), swap32(field);
  EXPECT_EQ(Bytes(field, field + 4), (Bytes{4, 3, 1, 2}));
}

// A picture decoded: RGBA bytes, row 0 first, if not refused; and its width, height, channels.
Bytes decode(Bytes picture, std::vector<int>& size) {
  FILE* file = fmemopen(picture.data(), picture.size(), "rb");
  size.assign(3, 0);
  std::unique_ptr<uint8_t[]> pixels = decodeFontImage(file, &size[0], &size[1], &size[2]);
  std::fclose(file);
  return pixels ? Bytes(pixels.get(), pixels.get() + size[0] * size[1] * 4) : Bytes();
}

TEST(BitmapFontPictureTest, DecodesWhatImageMagickWrites) {
  std::vector<int> size;  // rows of runs and of noise; with four channels, run-length offsets past 16 bits
  for (const auto& [channels, options] :
       {std::pair(1, "-alpha off -colorspace Gray"), {3, "-alpha off"}, {4, ""}})
    for (std::string storage : {"None", "RLE"}) {
      const std::string command =
          "cd " + kDir +
          " && convert -size 150x160 gradient:red-blue '(' -size 151x160 xc: -seed 1 +noise Random ')' "
          "+append '(' -size 301x160 gradient: ')' -alpha off -compose CopyOpacity -composite " +
          options + " -depth 8 -compress " + storage +
          " sgi:picture && convert sgi:picture -flip -depth 8 rgba:reference";
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      const Bytes picture = readFile(kDir + "picture");
      EXPECT_TRUE(decode(picture, size) == readFile(kDir + "reference") &&
                  picture.at(2) == (storage == "RLE"));
      EXPECT_EQ(size, (std::vector<int>{301, 160, channels})) << storage;
    }
  fw::PlanarPicture greyAlpha(3, 1, 2);  // two channels: grey 1, 2, 3 with alpha 7, 8, 9
  for (int x = 0; x < 3; x++) greyAlpha.at(x, 0, 0) = uint8_t(x + 1), greyAlpha.at(x, 0, 1) = uint8_t(x + 7);
  EXPECT_EQ(decode(fw::encodePicture(greyAlpha, true), size), (Bytes{1, 1, 1, 7, 2, 2, 2, 8, 3, 3, 3, 9}));
  Bytes five = fw::encodePicture(fw::PlanarPicture(3, 1, 5), true), black = {0, 0, 0, 255, 0, 0, 1, 0};
  std::fill_n(five.begin() + 548, 4, 0);  // a fifth channel is never read, so its row may even be empty
  EXPECT_EQ(decode(five, size).size(), 12u);
  const std::unique_ptr<uint8_t[]> mask = makeMaskImage(black.data(), 2, 1);  // white only where black
  EXPECT_EQ(Bytes(mask.get(), mask.get() + 8), (Bytes{255, 255, 255, 0, 0, 0, 0, 0}));
}

// Strings uncentred; only slot 0 in use, by a font on a 16 x 16 picture: black (pixel 0: 0, 0, 1), yellow.
struct BitmapFontTest : GlTest {
  void SetUp() override {
    GlTest::SetUp();
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
    setBitmapCentering(0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    fw::PlanarPicture picture(16, 16, 3);
    for (int i = 0; i < 768; i++) picture.at(i % 16, i / 16 % 16, i / 256) = i % 16 >= 8 && i < 512 ? 255 : 0;
    picture.at(0, 0, 2) = 1;
    glyphs[int('A')].tw = 0.2f, glyphs[int('B')].tw = 0.3f, glyphs[130].tw = 0.4f, glyphs[200].tw = 0.05f;
    glyphs[int('G')] = {0.125f, 0.375f, 0.25f, 0.5f}, glyphs[int('M')] = {0, 0, 1, 1};
    file = fw::encodeFontFile("test", glyphs, fw::encodePicture(picture, false));
    ASSERT_TRUE(fw::writeFileBytes(path, file) && loadBitmapFont(path.c_str()) == 0);
  }
  fw::GlyphBox glyphs[256] = {};
  Bytes file;
  const std::string path = kDir + "font";
  const BitmapFont& font = fontRegistry.bitmapFonts[0];
};

TEST_F(BitmapFontTest, LoadMakesTheGlyphAndMaskTexturesAndAListPerCode) {
  EXPECT_EQ(std::pair(getCurrentBitmapFont(), integer(GL_UNPACK_ALIGNMENT)), std::pair(0, 1));
  for (GLuint texture : {font.texture, font.maskTexture}) {  // the mask: white only where black
    std::vector<GLint> state(3);
    Bytes texels(768);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &state[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &state[1]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &state[2]);
    EXPECT_EQ(state, std::vector<GLint>({3, GL_LINEAR, GL_LINEAR}));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    texels.erase(texels.begin() + 6, texels.end() - 3);  // pixels 0, 1 and 255
    EXPECT_EQ(texels, (texture == font.texture ? Bytes{0, 0, 1, 0, 0, 0, 255, 255, 0}
                                               : Bytes{0, 0, 0, 255, 255, 255, 0, 0, 0}));
  }
  for (const auto& polygon : polygonsOf(captureFeedback([] { drawBitmapChar('G'); })))  // 0.25 x 0.5 units
    for (const auto& v : polygon.vertices)  // textured from (0.125, 0.375)
      EXPECT_NEAR(std::min(std::abs(v.x - 512), std::abs(v.x - 640)) / 512 +
                      std::min(std::abs(v.y - 384), std::abs(v.y - 576)) / 384 +
                      std::abs(v.s - 0.125f - (v.x / 512 - 1)) + std::abs(v.t - 0.375f - (v.y / 384 - 1)),
                  0, 1e-4f);
  for (auto [code, advance] : {std::pair<uint8_t, float>{'G', 0.251f}, {200, 0.051f}, {1, 0.001f}}) {
    glLoadIdentity();
    drawBitmapChar(code);
    EXPECT_FLOAT_EQ(modelviewX(), advance) << int(code);
  }
}

TEST_F(BitmapFontTest, LoadTakesTheLowestFreeSlotAndRefusesBadFiles) {
  Bytes magic = file,
        wide = fw::encodeFontFile("", glyphs, fw::encodePicture(fw::PlanarPicture(16385, 1, 1), false));
  magic[2] = 'G';
  for (const Bytes& bad :
       {magic, Bytes(file.begin(), file.begin() + 4194), Bytes(file.begin(), file.end() - 1), wide})
    EXPECT_EQ(loadBitmapFont(fw::writeFileBytes(kDir + "bad", bad) ? (kDir + "bad").c_str() : ""), -1)
        << bad.size();
  for (int slot = 1; slot < 3; slot++) ASSERT_EQ(loadBitmapFont(path.c_str()), slot);
  EXPECT_TRUE(unloadBitmapFont(1) == 0 && getCurrentBitmapFont() == 2 && unloadBitmapFont(1) == -1 &&
              selectBitmapFont(1) == -1 && selectBitmapFont(256) == -1 && getCurrentBitmapFont() == 2);
  EXPECT_TRUE(selectBitmapFont(0) == 0 && loadBitmapFont(path.c_str()) == 1 && getCurrentBitmapFont() == 1);
  EXPECT_TRUE(unloadCurrentBitmapFont() == 0 && getCurrentBitmapFont() == -1 &&
              unloadCurrentBitmapFont() == -1);
  for (int slot = 1; slot < FONT_SLOT_COUNT; slot += slot == 1 ? 2 : 1)
    ASSERT_EQ(loadBitmapFont(path.c_str()), slot);
  EXPECT_TRUE(loadBitmapFont(path.c_str()) == -1 && getCurrentBitmapFont() == 255) << "all in use";
}

TEST_F(BitmapFontTest, StringsRunTheirLengthAndCentreOnTheOrigin) {
  // Text, centring, where the origin ends, the leftmost x drawn (codes 200 and 130 last but one).
  const std::tuple<const char*, uint8_t, float, float> cases[] = {{"AB", 0, 0.502f, 0},
                                                                  {"AB", 1, 0, -0.251f},
                                                                  {"AB", 2, 0.502f, 0},
                                                                  {"\xC8\x82", 1, 0, -0.226f},
                                                                  {"", 1, 0, 9}};
  for (auto draw : {drawBitmapString, drawMaskedBitmapString})
    for (const auto& [text, centring, end, left] : cases) {
      setBitmapCentering(centring);
      glLoadIdentity();
      float drawnLeft = 9;
      for (const auto& polygon : polygonsOf(captureFeedback([&, text = text] { draw(text); })))
        for (const auto& v : polygon.vertices) drawnLeft = std::min(drawnLeft, v.x / 512 - 1);
      glLoadIdentity();
      draw(text);
      EXPECT_LT(std::abs(drawnLeft - left) + std::abs(modelviewX() - end), 1e-4f) << text << int(centring);
    }
}

TEST_F(BitmapFontTest, MaskedGlyphCoversTheFrameAndLeavesItsBackgroundClear) {  // 'M': the top-right quarter
  glEnable(GL_TEXTURE_2D), glEnable(GL_BLEND), glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glClearColor(0, 0, 1, 1), glClear(GL_COLOR_BUFFER_BIT), glColor3f(0.5f, 0.5f, 0.5f);
  drawMaskedBitmapChar('M');
  EXPECT_FLOAT_EQ(modelviewX(), 1.001f) << "only the glyph pass moves the origin";
  EXPECT_EQ(readPixelsRgb(540, 500, 200, 1), readPixelsRgb(100, 500, 200, 1)) << "the glyph's background";
  EXPECT_EQ(readPixelsRgb(900, 500, 1, 1), (Bytes{128, 128, 0})) << "the glyph";
}

TEST_F(BitmapFontTest, StartUpSetsTheLibraryAndShutDownReleasesIt) {
  setSymbolSpace(0.5f), setSpaceSize(5), setSymbolDepth(0.7f), setRotation(30);  // kept by start-up
  enableOption(OPTION_MESSAGES), enableOption(OPTION_TEXTURING), enableOption(OPTION_CONTOURING);
  setContourColor(1, 1, 1, 1), setDirection(DIRECTION_UP), setCentering(1), setBitmapCentering(1);
  initFonts();
  const FontRegistry& r = fontRegistry;
  const TextConsole& console = r.console;
  std::vector<float> state = {r.symbolSpace, r.spaceSize, r.symbolDepth, r.rotation, r.contourColor[0]};
  for (int value :
       {getCurrentFont(), getCurrentBitmapFont(), getDirection(), int(getCentering()),
        int(getBitmapCentering()), r.messagesSwitch + r.texturingSwitch + r.contouringSwitch,
        console.consoleWidth, console.consoleHeight, int(console.cursorSwitch), console.blinkRate})
    state.push_back(float(value));
  EXPECT_EQ(state, std::vector<float>({0.5f, 5, 0.7f, 30, 0, -1, -1, DIRECTION_RIGHT, 0, 0, 3 * SWITCH_OFF,
                                       40, 20, SWITCH_ON, 10}));
  EXPECT_TRUE(console.consoleBuffer && console.consoleBuffer[799] == 0);
  ASSERT_EQ(loadFont(ZARNOK_ASSET_DIR "/fonts/techno1.glf") + loadBitmapFont(path.c_str()), 0);
  const GLuint texture = font.texture;
  shutdownFonts();
  EXPECT_FALSE(r.fonts[0] || font.inUse || console.consoleBuffer || glIsTexture(texture));
}

}  // namespace
