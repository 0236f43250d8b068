// bitmap_font_test.cpp -- bitmap fonts in a real Mesa context: pictures ImageMagick writes,
// a load's textures and lists, slots, malformed files, plain and masked strings, and the
// library's start-up and shut-down.
#include "font/bitmap_font.h"

#include <fstream>
#include <iterator>

#include "font/font_lifecycle.h"
#include "tests/support/gl_context.h"
#include "tools/common/bitmap_font_writer.h"

namespace {

namespace fw = bitmap_font_writer;
using Bytes = std::vector<uint8_t>;
const std::string kDir = ::testing::TempDir();

std::string writeFile(const std::string& name, const Bytes& bytes) {
  EXPECT_TRUE(fw::writeFileBytes(kDir + name, bytes));
  return kDir + name;
}

// A font around a picture: 'A' 0.2 wide, 'B' 0.3, code 130 0.4, code 200 0.05, 'G' the
// picture's part from (0.125, 0.375), 0.25 x 0.5, 'M' all of it; all other records 0.
Bytes fontFile(const Bytes& picture) {
  fw::GlyphBox glyphs[256] = {};
  glyphs[int('A')].tw = 0.2f, glyphs[int('B')].tw = 0.3f, glyphs[130].tw = 0.4f, glyphs[200].tw = 0.05f;
  glyphs[int('G')] = {0.125f, 0.375f, 0.25f, 0.5f}, glyphs[int('M')] = {0, 0, 1, 1};
  return fw::encodeFontFile("test", glyphs, picture);
}

// A run-length picture one row high, channel z's row made of the packets rows[z].
Bytes packedPicture(int width, const std::vector<Bytes>& rows) {
  Bytes out = fw::encodePictureHeader(fw::PlanarPicture(width, 1, int(rows.size())), true), data;
  for (const Bytes& row : rows)
    fw::appendBigEndian32(out, uint32_t(512 + rows.size() * 8 + data.size())),
        data.insert(data.end(), row.begin(), row.end());
  for (const Bytes& row : rows) fw::appendBigEndian32(out, uint32_t(row.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// The picture as decoded from a font file: RGBA bytes, row 0 first, and width, height, channels.
Bytes decodePicture(const Bytes& picture, std::vector<int>& size) {
  FILE* file = std::fopen(writeFile("decoded", fontFile(picture)).c_str(), "rb");
  std::fseek(file, BITMAP_FONT_IMAGE_OFFSET, SEEK_SET);
  size.assign(3, 0);
  std::unique_ptr<uint8_t[]> pixels = decodeFontImage(file, &size[0], &size[1], &size[2]);
  std::fclose(file);
  return pixels ? Bytes(pixels.get(), pixels.get() + size[0] * size[1] * 4) : Bytes();
}

TEST(BitmapFontPictureTest, DecodesWhatImageMagickWrites) {
  const int width = 301, height = 128;  // long enough for run-length row offsets beyond 16 bits
  for (const auto& [channels, type] : {std::pair(1, "GRAYSCALE"), {3, "RGB"}, {4, "RGB_ALPHA"}}) {
    std::string pam = "P7 WIDTH 301 HEIGHT 128 DEPTH " + std::to_string(channels) + " MAXVAL 255 TUPLTYPE " +
                      type + "\nENDHDR\n";
    for (int i = 0, x = 0, c = 0; i < width * height * channels; x = ++i / channels % width, c = i % channels)
      pam += char(x < 140   ? (i / channels / width % 3 ? 0 : 7 + 40 * c)
                  : x < 220 ? int(i * 2654435761u >> 24)
                            : x + 50 * c);
    std::ofstream(kDir + "source.pam", std::ios::binary) << pam;
    for (std::string storage : {"None", "RLE"}) {
      SCOPED_TRACE(std::to_string(channels) + " channels, " + storage);
      ASSERT_EQ(std::system(("cd " + kDir + " && convert source.pam -compress " + storage +
                             " sgi:picture && convert sgi:picture -depth 8 rgba:reference")
                                .c_str()),
                0);
      std::ifstream in(kDir + "picture", std::ios::binary), reference(kDir + "reference", std::ios::binary);
      const Bytes picture(std::istreambuf_iterator<char>(in), {}),
          topDown(std::istreambuf_iterator<char>(reference), {});
      ASSERT_EQ(int(picture.at(2)), int(storage == "RLE")) << "ImageMagick wrote the other storage";
      std::vector<int> size;
      const Bytes pixels = decodePicture(picture, size);
      ASSERT_EQ(size, (std::vector<int>{width, height, channels}));
      for (int y = 0; y < height; y++)
        ASSERT_TRUE(std::equal(&pixels.at(y * width * 4), &pixels.at(y * width * 4) + width * 4,
                               &topDown.at((height - 1 - y) * width * 4)))
            << y;
    }
  }
  std::vector<int> size;  // two channels: grey and alpha; 0x83: three literals, 0x05: a run of five
  Bytes greyAlpha, black = {0, 0, 0, 255, 0, 0, 1, 0};
  for (uint8_t grey : {1, 2, 0, 9, 9, 9, 9, 9}) greyAlpha.insert(greyAlpha.end(), {grey, grey, grey, 77});
  EXPECT_EQ(decodePicture(packedPicture(8, {{0x83, 1, 2, 0, 0x05, 9, 0}, {0x08, 77, 0}}), size), greyAlpha);
  const std::unique_ptr<uint8_t[]> mask = makeMaskImage(black.data(), 2, 1);  // white only where black
  EXPECT_EQ(Bytes(mask.get(), mask.get() + 8), (Bytes{255, 255, 255, 0, 0, 0, 0, 0}));
}

GLint integer(GLenum what) {
  GLint value = -1;
  return glGetIntegerv(what, &value), value;
}
float modelviewX() {
  float matrix[16];
  return glGetFloatv(GL_MODELVIEW_MATRIX, matrix), matrix[12];
}

// A font of a 16 x 16 picture: its left half black but for pixel 0 (0, 0, 1), its right
// half yellow.
std::string testFont() {
  fw::PlanarPicture picture(16, 16, 3);
  for (int i = 0; i < 768; i++) picture.at(i % 16, i / 16 % 16, i / 256) = i % 16 >= 8 && i < 512 ? 255 : 0;
  picture.at(0, 0, 2) = 1;
  return writeFile("font", fontFile(fw::encodePicture(picture, false)));
}

// Every test starts with all slots free and strings uncentred; the projection maps -1..1
// onto the surface.
struct BitmapFontTest : GlTest {
  void SetUp() override {
    GlTest::SetUp();
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
    setBitmapCentering(0);
  }
  const BitmapFont& font = fontRegistry.bitmapFonts[0];
};

TEST_F(BitmapFontTest, LoadMakesTheGlyphAndMaskTexturesAndAListPerCode) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  ASSERT_EQ(loadBitmapFont(testFont().c_str()), 0);
  EXPECT_EQ(std::pair(getCurrentBitmapFont(), integer(GL_UNPACK_ALIGNMENT)), std::pair(0, 1));
  for (GLuint texture : {font.texture, font.maskTexture}) {  // the mask: white only where black
    glBindTexture(GL_TEXTURE_2D, texture);
    Bytes texels(768);
    std::vector<GLint> state(3);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &state[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &state[1]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &state[2]);
    EXPECT_EQ(state, std::vector<GLint>({3, GL_LINEAR, GL_LINEAR}));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    texels.erase(texels.begin() + 6, texels.end() - 3);  // pixels 0, 1 and 255
    EXPECT_EQ(texels, (texture == font.texture ? Bytes{0, 0, 1, 0, 0, 0, 255, 255, 0}
                                               : Bytes{0, 0, 0, 255, 255, 255, 0, 0, 0}));
  }
  const auto polygons = polygonsOf(captureFeedback([] { drawBitmapChar('G'); }));
  ASSERT_EQ(polygons.size(), 2u);
  for (const auto& polygon : polygons)
    for (const auto& v : polygon.vertices) {  // 0.25 x 0.5 from the origin, textured from (0.125, 0.375)
      const float x = v.x / 512 - 1, y = v.y / 384 - 1;
      EXPECT_NEAR(std::min(std::abs(x), std::abs(x - 0.25f)) + std::min(std::abs(y), std::abs(y - 0.5f)), 0,
                  1e-4f);
      EXPECT_NEAR(std::abs(v.s - 0.125f - x) + std::abs(v.t - 0.375f - y), 0, 1e-4f);
    }
  for (auto [code, advance] : {std::pair<uint8_t, float>{'G', 0.251f}, {200, 0.051f}, {1, 0.001f}}) {
    glLoadIdentity();
    drawBitmapChar(code);
    EXPECT_FLOAT_EQ(modelviewX(), advance) << int(code);
  }
  glDisable(GL_TEXTURE_2D);
  beginBitmapText();
  EXPECT_EQ(std::pair(bool(glIsEnabled(GL_TEXTURE_2D)), GLuint(integer(GL_TEXTURE_BINDING_2D))),
            std::pair(true, font.texture));
  endBitmapText();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "texturing is put back as found";
}

TEST_F(BitmapFontTest, LoadTakesTheLowestFreeSlotAndRefusesMalformedFiles) {
  auto with = [](Bytes bytes, size_t at, uint8_t value) { return bytes[at] = value, bytes; };
  auto packets = [](const Bytes& row) { return fontFile(packedPicture(8, {row})); };
  const Bytes raw = fontFile(fw::encodePicture(fw::PlanarPicture(8, 2, 1), false));
  for (const Bytes& bad :
       {with(raw, 2, 'G'), Bytes(raw.begin(), raw.begin() + 4194), Bytes(raw.begin(), raw.end() - 1),
        fontFile(fw::encodePicture(fw::PlanarPicture(16385, 1, 1), false)),  // too wide
        with(packets({8, 1, 0}), 4195 + 516, 0x80),                          // negative length
        packets({0x05, 1, 0x04, 2, 0}), packets({0x83, 1, 2}), packets({0x08, 7})})
    EXPECT_TRUE(loadBitmapFont(writeFile("bad", bad).c_str()) == -1 && !font.inUse) << bad.size();
  const std::string path = testFont();
  for (int slot = 0; slot < 3; slot++) ASSERT_EQ(loadBitmapFont(path.c_str()), slot);
  const GLuint texture = fontRegistry.bitmapFonts[1].texture;
  EXPECT_EQ(unloadBitmapFont(1), 0);
  EXPECT_FALSE(glIsTexture(texture));
  for (int slot : {1, -1, 256}) EXPECT_EQ(unloadBitmapFont(slot) + selectBitmapFont(slot), -2) << slot;
  EXPECT_EQ(getCurrentBitmapFont(), 2);
  EXPECT_EQ(selectBitmapFont(0), 0);
  EXPECT_EQ(loadBitmapFont(path.c_str()), 1);
  EXPECT_EQ(getCurrentBitmapFont(), 1);
  EXPECT_EQ(unloadCurrentBitmapFont(), 0);
  EXPECT_EQ(getCurrentBitmapFont(), -1);
  EXPECT_EQ(unloadCurrentBitmapFont(), -1);
  for (int slot = 1; slot < FONT_SLOT_COUNT; slot += slot == 1 ? 2 : 1)
    ASSERT_EQ(loadBitmapFont(path.c_str()), slot);
  EXPECT_EQ(loadBitmapFont(path.c_str()), -1) << "all in use";
  EXPECT_EQ(getCurrentBitmapFont(), 255);
}

TEST_F(BitmapFontTest, StringsRunTheirLengthAndCentreOnTheOrigin) {
  ASSERT_EQ(loadBitmapFont(testFont().c_str()), 0);
  const std::tuple<const char*, uint8_t, float, float> cases[] = {// text, centring, end, leftmost x drawn
                                                                  {"AB", 0, 0.502f, 0},
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

// 'M' covers the top-right quarter of a blue frame: its black half keeps the frame, its
// yellow half replaces it in the current colour.
TEST_F(BitmapFontTest, MaskedGlyphsCoverTheFrameAndLeaveTheirBackgroundClear) {
  ASSERT_EQ(loadBitmapFont(testFont().c_str()), 0);
  glEnable(GL_TEXTURE_2D), glEnable(GL_BLEND), glClearColor(0, 0, 1, 1);
  for (bool asString : {false, true}) {
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glColor3f(0.5f, 0.5f, 0.5f);
    asString ? drawMaskedBitmapString("M") : drawMaskedBitmapChar('M');
    EXPECT_FLOAT_EQ(modelviewX(), 1.001f) << "only the glyph pass moves the origin";
    EXPECT_EQ(readPixelsRgb(300, 500, 1, 1), (Bytes{0, 0, 255}));
    EXPECT_EQ(readPixelsRgb(600, 500, 1, 1), (Bytes{0, 0, 255})) << "the glyph's background";
    EXPECT_EQ(readPixelsRgb(900, 500, 1, 1), (Bytes{128, 128, 0})) << "the glyph";
    EXPECT_EQ(std::vector<GLint>({integer(GL_BLEND_SRC), integer(GL_BLEND_DST),
                                  integer(GL_TEXTURE_BINDING_2D), integer(GL_ATTRIB_STACK_DEPTH)}),
              std::vector<GLint>({GL_ONE, GL_ONE, GLint(font.texture), 0}));
  }
  glDisable(GL_BLEND);
}

TEST_F(BitmapFontTest, StartUpSetsTheLibraryAndShutDownReleasesIt) {
  setSymbolSpace(0.5f), setSpaceSize(5), setSymbolDepth(0.7f), setRotation(30);  // kept by start-up
  enableOption(OPTION_MESSAGES), enableOption(OPTION_TEXTURING), enableOption(OPTION_CONTOURING);
  setContourColor(1, 1, 1, 1), setDirection(DIRECTION_UP), setCentering(1), setBitmapCentering(1);
  initFonts();
  const FontRegistry& r = fontRegistry;
  const TextConsole& console = r.console;
  EXPECT_EQ(std::vector<float>({r.symbolSpace, r.spaceSize, r.symbolDepth, r.rotation, r.contourColor[0]}),
            std::vector<float>({0.5f, 5, 0.7f, 30, 0}));
  const std::vector<int> state = {getCurrentFont(),      getCurrentBitmapFont(), getDirection(),
                                  getCentering(),        getBitmapCentering(),   r.messagesSwitch,
                                  r.texturingSwitch,     r.contouringSwitch,     console.consoleWidth,
                                  console.consoleHeight, console.cursorSwitch,   console.blinkRate};
  EXPECT_EQ(state, std::vector<int>({-1, -1, DIRECTION_RIGHT, 0, 0, SWITCH_OFF, SWITCH_OFF, SWITCH_OFF, 40,
                                     20, SWITCH_ON, 10}));
  EXPECT_TRUE(console.consoleBuffer && console.consoleBuffer[799] == 0);
  setSymbolSpace(0.2f), setSpaceSize(2), setSymbolDepth(0.2f), setRotation(0);
  const std::string fonts = std::string(ZARNOK_ASSET_DIR) + "/fonts/";  // made at build time
  ASSERT_EQ(loadFont((fonts + "techno1.glf").c_str()), 0);
  ASSERT_EQ(loadBitmapFont((fonts + "sans_bold.bitmap_font").c_str()), 0);
  const float* widths = font.widths.get();  // a proportional font, nothing for control codes
  EXPECT_TRUE(widths[int('W')] > widths[int('i')] && widths[int('i')] > 0 && widths[1] == 0);
  const GLuint texture = font.texture;
  shutdownFonts();
  EXPECT_FALSE(r.fonts[0] || font.inUse || console.consoleBuffer || glIsTexture(texture));
  glBegin(GL_POINTS);  // where any call that changes GL state is an error
  shutdownFonts();
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "a shut-down with nothing loaded calls GL";
}

}  // namespace
