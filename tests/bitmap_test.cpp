// bitmap_test.cpp -- the game's bitmap pictures and textures, and the bitmap fonts with the
// font library's start-up and shut-down, on pictures ImageMagick writes and reads back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>

#include "font/bitmap_font.h"
#include "font/font_lifecycle.h"
#include "image/texture_loader.h"
#include "tests/support/gl_context.h"
#include "tools/common/bitmap_font_writer.h"

// What the readers allocate (malloc, new[] without exceptions) is followed by 16 bytes of 0xA5: a
// reader that writes past its buffer changes them, where the GCC build would not notice. malloc
// refuses more than 1 GB, as a machine short of memory would.
constexpr size_t kGuardBytes = 16;
static void* guarded(void* block, size_t size) {
  if (block) std::memset(static_cast<uint8_t*>(block) + size, 0xA5, kGuardBytes);
  return block;
}
extern "C" void* __real_malloc(size_t size);
extern "C" void* __wrap_malloc(size_t size) {
  return size > (size_t(1) << 30) ? nullptr : guarded(__real_malloc(size + kGuardBytes), size);
}
extern "C" void* __real__ZnamRKSt9nothrow_t(size_t size, const std::nothrow_t& tag);
extern "C" void* __wrap__ZnamRKSt9nothrow_t(size_t size, const std::nothrow_t& tag) {
  return guarded(__real__ZnamRKSt9nothrow_t(size + kGuardBytes, tag), size);
}

// GL that gives no display lists when told to, as when out of memory, and the texture names it gave.
static bool listsRefused = false;
static std::vector<GLuint> texturesMade;
extern "C" GLuint __real_glGenLists(GLsizei range);
extern "C" GLuint __wrap_glGenLists(GLsizei range) { return listsRefused ? 0 : __real_glGenLists(range); }
extern "C" void __real_glGenTextures(GLsizei count, GLuint* names);
extern "C" void __wrap_glGenTextures(GLsizei count, GLuint* names) {
  __real_glGenTextures(count, names);
  texturesMade.insert(texturesMade.end(), names, names + count);
}

namespace {

namespace fw = bitmap_font_writer;
using Bytes = std::vector<uint8_t>;
const std::string kDir = ::testing::TempDir();
const std::string k24 = "-type TrueColor -compress None BMP3:";  // ImageMagick's 24-bit pictures
const std::string k8 = "-type Palette -compress None BMP3:";     // and its 8-bit ones

GLint textureParameter(GLenum what) {  // of the bound texture's level 0
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
  return value;
}
bool guardIntact(const uint8_t* block, size_t size) {
  return std::all_of(block + size, block + size + kGuardBytes, [](uint8_t b) { return b == 0xA5; });
}
Bytes readFile(const std::string& path) {
  return Bytes(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

// ImageMagick writes a noise picture to path; returns its RGB pixels as it reads them, bottom row first.
Bytes makePicture(const std::string& path, int width, int height, const std::string& format) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  const std::string command = "convert -size " + size + " xc: -seed 1 +noise Random -colors 200 " + format +
                              path + " && convert " + path + " -flip rgb:" + path + ".rgb";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return readFile(path + ".rgb");
}

// The ten texture files: both depths, rows with and without padding, rows of 3072 bytes (the
// longest the reader takes) and a 124-byte information record. The test sets byte alignment,
// which uploads rows of any width whole.
TEST_F(GlTest, LoadTexturesMakesTextures1To10OfTheTenFiles) {
  struct Case {
    const char* name;
    GLint width, height;
    std::string format;
  };
  const Case cases[] = {
      {"24-bit, 1 wide", 1, 2, k24},
      {"24-bit, 3 wide", 3, 2, k24},
      {"24-bit, 17 wide", 17, 3, k24},
      {"24-bit, 1024 wide", 1024, 90, k24},
      {"24-bit, 124-byte record", 6, 2, "-type TrueColor BMP:"},
      {"8-bit, 5 wide", 5, 4, k8},
      {"8-bit, 1024 wide", 1024, 2, k8},
      {"8-bit, 15 wide", 15, 3, k8},
      {"24-bit, 8 wide", 8, 1, k24},
      {"8-bit, 4 wide", 4, 5, k8},
  };
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(kDir.c_str()), 0);
  std::vector<Bytes> pixels;  // ImageMagick's, by texture
  for (const Case& c : cases)
    pixels.push_back(
        makePicture(textureFileName(TextureId(Ground + pixels.size())), c.width, c.height, c.format));
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  nextTextureName = 42;
  loadTextures();
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(nextTextureName, 11u);
  GLint mode = -1;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
  EXPECT_EQ(mode, GL_REPLACE);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (GLuint id = Ground; id <= RecordBoard; id++) {
    const Case& c = cases[id - Ground];
    SCOPED_TRACE(c.name);
    glBindTexture(GL_TEXTURE_2D, id);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WIDTH), c.width);
    EXPECT_EQ(textureParameter(GL_TEXTURE_HEIGHT), c.height);
    EXPECT_EQ(textureParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
    Bytes texels(pixels[id - Ground].size());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_TRUE(texels == pixels[id - Ground]) << "texels differ from ImageMagick's pixels";
  }
}

// Each file is read over the good 24-bit picture, which a file refused before its size is taken
// leaves in the record; reading writes nothing past the last row. (The textures' test holds the pixels.)
TEST(PictureReaderTest, ReadsOrRefusesEachFileWithItsMessage) {
  struct Case {
    const char* name;
    const std::string& good;  // the good picture spoiled
    size_t at;                // where a 32-bit value is written over it (0: nowhere)
    int32_t value;
    size_t size;          // where it is cut (0: not cut)
    const char* message;  // printed; null for any one line
    bool read;
    int32_t width, height;  // of the record afterwards
    bool keepsPixels;       // the record still holds the good picture's pixels
  };
  const std::string good = kDir + "good24.bmp";
  const std::string good8 = kDir + "good8.bmp";  // 7 x 3 (so 8-bit), rows padded in both
  makePicture(good, 7, 2, k24);
  makePicture(good8, 7, 3, k8);
  const std::string unpadded = kDir + "good4.bmp";  // 24-bit rows of 12 bytes, read in large blocks
  makePicture(unpadded, 4, 2, k24);
  const std::string bad = kDir + "bad.bmp";
  const Case cases[] = {
      {"no rows, nothing after the header", good, 22, 0, 54, "", true, 7, 0, false},
      {"8-bit, no columns", good8, 18, 0, 0, "", true, 0, 3, false},
      {"wrong magic", good, 1, 'A', 0, "Error reading BMP file, file type incorrect\n", false, 7, 2, true},
      {"short file header", good, 0, 0, 13, "Error reading BMP file header\n", false, 7, 2, true},
      {"short information record", good, 0, 0, 53, "Error reading BMP Information record\n", false, 7, 2,
       true},
      {"compressed", good, 30, 1, 0, "Sorry, this code cannot read compressed image files\n", false, 7, 2,
       true},
      {"16 bits a pixel", good, 28, 16, 0, "Sorry, this code can only read 8 bit or 24 bit image files\n",
       false, 7, 2, true},
      {"negative width", good, 18, -4, 0, nullptr, false, 7, 2, true},
      {"over 2 GB of pixels", good, 22, INT32_MAX, 0, nullptr, false, 7, 2, true},
      {"rows of 3076 bytes", good, 18, 1025, 0, nullptr, false, 7, 2, true},
      {"2 GB of pixels but 1 byte, no memory", good8, 22, 102261126, 0, "Error allocating pixel memory\n",
       false, 7, 102261126, false},
      {"a row more, past 2 GB", good8, 22, 102261127, 0, nullptr, false, 7, 2, true},
      {"top down", good, 22, -2, 0, "Error allocating pixel memory\n", false, 7, -2, false},
      {"rows cut short", good, 0, 0, 77, "Error reading BMP pixels\n", false, 7, 2, false},
      {"unpadded rows cut short", unpadded, 0, 0, 77, "Error reading BMP pixels\n", false, 4, 2, false},
      {"8-bit, short colour table", good, 28, 8, 56,
       "Error reading BMP Color Table\nError reading BMP pixels\n", false, 7, 2, false},
  };
  BmpImage image;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(loadBmp(good.c_str(), image));
    EXPECT_TRUE(guardIntact(image.pixels, 42)) << "the bytes past the last row";
    const uint8_t* before = image.pixels;
    Bytes bytes = readFile(c.good);
    if (c.at) std::memcpy(&bytes[c.at], &c.value, 4);
    if (c.size) bytes.resize(c.size);
    ASSERT_TRUE(fw::writeFileBytes(bad, bytes));
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(loadBmp(bad.c_str(), image), c.read);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    if (c.message)
      EXPECT_EQ(printed, c.message);
    else
      EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    if (c.keepsPixels) {
      EXPECT_EQ(image.pixels, before);
    }
  }
  ASSERT_TRUE(loadBmp(good8.c_str(), image));
  EXPECT_TRUE(guardIntact(image.pixels, 63)) << "the bytes past the last 8-bit row";
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(loadBmp("missing.bmp", image));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Could not open file 'missing.bmp'\n");
  releaseBmp(image);
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(image.width, 0);
  EXPECT_EQ(image.height, 0);
}

// A font picture as the font reader decodes it: its sizes and RGBA bytes, row 0 first.
struct Decoded {
  int width, height, channels;
  Bytes rgba;  // empty if refused
};

Decoded decode(Bytes picture) {
  FILE* file = fmemopen(picture.data(), picture.size(), "rb");
  Decoded d;
  const std::unique_ptr<uint8_t[]> pixels = decodeFontImage(file, &d.width, &d.height, &d.channels);
  std::fclose(file);
  if (pixels) {
    d.rgba.assign(pixels.get(), pixels.get() + d.width * d.height * 4);
    EXPECT_TRUE(guardIntact(pixels.get(), d.rgba.size())) << "the bytes past the last row";
  }
  return d;
}

// Rows of runs and of noise, 301 x 160; with four channels, run-length offsets past 16 bits.
TEST(BitmapFontPictureTest, DecodesWhatImageMagickWrites) {
  struct Case {
    const char* name;
    int channels;
    std::string options;
  };
  const Case cases[] = {
      {"grey", 1, "-alpha off -colorspace Gray"},
      {"RGB", 3, "-alpha off"},
      {"RGBA", 4, ""},
  };
  for (const Case& c : cases)
    for (bool runLength : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (runLength ? ", run-length encoded" : ", raw"));
      const std::string command =
          "cd " + kDir +
          " && convert -size 150x160 gradient:red-blue '(' -size 151x160 xc: -seed 1 +noise Random ')' "
          "+append '(' -size 301x160 gradient: ')' -alpha off -compose CopyOpacity -composite " +
          c.options + " -depth 8 -compress " + (runLength ? "RLE" : "None") +
          " sgi:picture && convert sgi:picture -flip -depth 8 rgba:reference";
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      const Bytes picture = readFile(kDir + "picture");
      ASSERT_EQ(picture.at(2) == 1, runLength) << "ImageMagick's storage byte";
      const Decoded d = decode(picture);
      EXPECT_EQ(d.width, 301);
      EXPECT_EQ(d.height, 160);
      EXPECT_EQ(d.channels, c.channels);
      EXPECT_TRUE(d.rgba == readFile(kDir + "reference")) << "pixels differ from ImageMagick's";
    }
}

// ImageMagick writes no two-channel pictures.
TEST(BitmapFontPictureTest, TwoChannelsAreGreyAndAlpha) {
  fw::PlanarPicture two(5, 1, 2);
  two.at(1, 0, 0) = 9;
  two.at(3, 0, 1) = 7;
  EXPECT_EQ(decode(fw::encodePicture(two, false)).rgba,
            (Bytes{0, 0, 0, 0, 9, 9, 9, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0}));
}

// White with alpha 0 where red, green and blue are all 0, whatever the alpha, else all 0: the mask
// of black (opaque), red 1, green 1 and blue 1.
TEST(BitmapFontPictureTest, MaskIsWhiteExactlyWhereThePictureIsBlack) {
  const Bytes picture = {0, 0, 0, 255, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
  const std::unique_ptr<uint8_t[]> mask = makeMaskImage(picture.data(), 2, 2);
  EXPECT_EQ(Bytes(mask.get(), mask.get() + 16),
            (Bytes{255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// Sides of 1 to 16384 pixels, at most 2^24 pixels in all.
TEST(BitmapFontPictureTest, SidesUpTo16384And2To24PixelsAreRead) {
  struct Case {
    const char* name;
    int width;
    int height;
    bool read;
  };
  // clang-format off
  const Case cases[] = {
      {"0 wide",      0,     1,     false},
      {"16384 wide",  16384, 1,     true},
      {"16385 wide",  16385, 1,     false},
      {"16384 high",  1,     16384, true},
      {"16385 high",  1,     16385, false},
      {"2^24 pixels", 16384, 1024,  true},
      {"a row more",  16384, 1025,  false},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(decode(fw::encodePicture(fw::PlanarPicture(c.width, c.height, 1), false)).rgba.empty(), !c.read)
        << c.name;
}

// A 5 x 1 run-length picture whose row is `packets`, declared `length` bytes long.
Bytes rowPicture(const Bytes& packets, size_t length) {
  Bytes picture = fw::encodePictureHeader(fw::PlanarPicture(5, 1, 1), true);
  fw::appendBigEndian32(picture, 520);
  fw::appendBigEndian32(picture, uint32_t(length));
  picture.insert(picture.end(), packets.begin(), packets.end());
  picture.resize(520 + std::max(length, packets.size()));
  return picture;
}

// Packets that fill the row's 5 bytes are read, one byte more is refused, and neither writes past
// them; a row may be declared up to 256 bytes a pixel long (what follows its end is not read).
TEST(BitmapFontPictureTest, RunLengthRowsAreReadWithinTheirLimits) {
  struct Case {
    const char* name;
    Bytes packets;
    size_t length;  // declared; 0: the packets' own
    int answer;
    Bytes row;  // the 5 bytes afterwards, and 3 bytes past them
  };
  // clang-format off
  const Case cases[] = {
      {"a run and literals", {0x02, 7, 0x83, 1, 2, 3, 0}, 0,    0,  {7, 7, 1, 2, 3, 0xA5, 0xA5, 0xA5}},
      {"a run of 6",         {0x06, 7, 0},                0,    -1, {0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5}},
      {"3 literals, 3 more", {0x83, 1, 2, 3, 0x03, 9, 0}, 0,    -1, {1, 2, 3, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5}},
      {"1280 bytes long",    {0x05, 7, 0},                1280, 0,  {7, 7, 7, 7, 7, 0xA5, 0xA5, 0xA5}},
      {"1281 bytes long",    {0x05, 7, 0},                1281, -1, {0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5}},
  };
  // clang-format on
  for (const Case& c : cases) {
    Bytes picture = rowPicture(c.packets, c.length ? c.length : c.packets.size());
    FILE* file = fmemopen(picture.data(), picture.size(), "rb");
    FontImage* image = openFontImage(file);
    Bytes row(8, 0xA5);
    EXPECT_EQ(readImageRow(image, row.data(), 0, 0), c.answer) << c.name;
    EXPECT_EQ(row, c.row) << c.name;
    closeFontImage(image);
    std::fclose(file);
  }
}

TEST(BitmapFontPictureTest, AFifthChannelIsNeverReadEvenWhenItsRowIsEmpty) {
  Bytes five = fw::encodePicture(fw::PlanarPicture(3, 1, 5), true);
  std::fill_n(five.begin() + 548, 4, 0);  // the fifth row's length in the table
  EXPECT_EQ(decode(five).rgba, Bytes(12, 0));
}

// Only slot 0 in use, by a font on a black 16 x 16 picture.
struct BitmapFontTest : GlTest {
  void SetUp() override {
    GlTest::SetUp();
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
    file = fw::encodeFontFile("test", glyphs, fw::encodePicture(fw::PlanarPicture(16, 16, 3), false));
    ASSERT_TRUE(fw::writeFileBytes(path, file));
    ASSERT_EQ(loadBitmapFont(path.c_str()), 0);
  }
  void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }
  fw::GlyphBox glyphs[256] = {};
  Bytes file;
  const std::string path = kDir + "font";
  const BitmapFont& font = fontRegistry.bitmapFonts[0];
};

// A glyph drawn alone, plain or masked, is the glyph its string draws (fontshow's frame draws
// strings only). A dark glyph on a grey frame, so that the masked glyph's first pass shows.
TEST_F(BitmapFontTest, GlyphAloneIsTheOneItsStringDraws) {
  ASSERT_EQ(loadBitmapFont(ZARNOK_ASSET_DIR "/fonts/sans_bold.bitmap_font"), 1);
  glClearColor(0.5f, 0.5f, 0.5f, 1);
  glColor3f(0.25f, 0.25f, 0.25f);
  glEnable(GL_BLEND);  // the masked passes' blending is the caller's to turn on
  glEnable(GL_TEXTURE_2D);
  const Bytes plain = frameOf([] { drawBitmapChar('Z'); });
  EXPECT_TRUE(plain != frameOf([] {})) << "the glyph shows";
  EXPECT_TRUE(frameOf([] { drawBitmapString("Z"); }) == plain) << "plain";
  EXPECT_TRUE(frameOf([] { drawMaskedBitmapChar('Z'); }) == frameOf([] { drawMaskedBitmapString("Z"); }))
      << "masked";
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
}

TEST_F(BitmapFontTest, LoadRefusesABadFileAndTakesNoSlot) {
  Bytes wrongMagic = file;
  wrongMagic[2] = 'G';
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Case cases[] = {
      {"wrong magic", wrongMagic},
      {"cut inside the glyph records", Bytes(file.begin(), file.begin() + 4194)},
      {"cut inside the picture", Bytes(file.begin(), file.end() - 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(fw::writeFileBytes(kDir + "bad", c.bytes));
    EXPECT_EQ(loadBitmapFont((kDir + "bad").c_str()), -1);
    EXPECT_EQ(fontRegistry.bitmapFonts[1].inUse, 0);
    EXPECT_EQ(getCurrentBitmapFont(), 0);
  }
}

TEST_F(BitmapFontTest, LoadThatGetsNoDisplayListsDeletesItsTwoTextures) {
  texturesMade.clear();
  listsRefused = true;
  EXPECT_EQ(loadBitmapFont(path.c_str()), -1);
  listsRefused = false;
  ASSERT_EQ(texturesMade.size(), 2u);
  for (GLuint name : texturesMade) EXPECT_FALSE(glIsTexture(name)) << "texture " << name;
  EXPECT_EQ(getCurrentBitmapFont(), 0);
}

TEST_F(BitmapFontTest, LoadIntoAFullRegistryFailsAndKeepsTheCurrentFont) {
  for (int slot = 1; slot < FONT_SLOT_COUNT; slot++) ASSERT_EQ(loadBitmapFont(path.c_str()), slot);
  EXPECT_EQ(loadBitmapFont(path.c_str()), -1);
  EXPECT_EQ(getCurrentBitmapFont(), 255);
}

TEST_F(BitmapFontTest, UnloadAndSelectRefuseAFreeOrInvalidSlot) {
  for (int slot : {-1, 1, 256}) {  // negative, free, past the last
    SCOPED_TRACE(slot);
    EXPECT_EQ(unloadBitmapFont(slot), -1);
    EXPECT_EQ(selectBitmapFont(slot), -1);
    EXPECT_EQ(getCurrentBitmapFont(), 0);
  }
}

TEST_F(BitmapFontTest, UnloadingTheCurrentFontLeavesNoneCurrent) {
  ASSERT_EQ(loadBitmapFont(path.c_str()), 1);
  EXPECT_EQ(selectBitmapFont(0), 0);
  ASSERT_EQ(unloadBitmapFont(1), 0);
  EXPECT_EQ(getCurrentBitmapFont(), 0) << "after unloading another font";
  EXPECT_EQ(unloadCurrentBitmapFont(), 0);
  EXPECT_EQ(getCurrentBitmapFont(), -1);
  EXPECT_EQ(unloadCurrentBitmapFont(), -1) << "with no current font";
  EXPECT_EQ(loadBitmapFont(path.c_str()), 0) << "the lowest free slot";
  EXPECT_EQ(getCurrentBitmapFont(), 0);
}

// All but spacing, space size, depth and rotation (as rotation shows); an empty console.
TEST_F(BitmapFontTest, StartUpPutsTheLibraryInItsKnownState) {
  setRotation(30);
  enableOption(OPTION_MESSAGES);
  enableOption(OPTION_TEXTURING);
  enableOption(OPTION_CONTOURING);
  setContourColor(1, 1, 1, 1);
  setDirection(DIRECTION_UP);
  setCentering(1);
  setBitmapCentering(1);
  initFonts();
  EXPECT_FLOAT_EQ(fontRegistry.rotation, 30);
  EXPECT_EQ(getCurrentFont(), -1);
  EXPECT_EQ(getCurrentBitmapFont(), -1);
  EXPECT_EQ(fontRegistry.messagesSwitch, SWITCH_OFF);
  EXPECT_EQ(fontRegistry.texturingSwitch, SWITCH_OFF);
  EXPECT_EQ(fontRegistry.contouringSwitch, SWITCH_OFF);
  EXPECT_EQ(std::vector<float>(fontRegistry.contourColor, fontRegistry.contourColor + 4),
            std::vector<float>(4, 0));
  EXPECT_EQ(getDirection(), DIRECTION_RIGHT);
  EXPECT_EQ(getCentering(), 0);
  EXPECT_EQ(getBitmapCentering(), 0);
  const TextConsole& console = fontRegistry.console;  // empty, 40 x 20, the cursor blinking
  EXPECT_EQ(console.consoleWidth, 40);
  EXPECT_EQ(console.consoleHeight, 20);
  ASSERT_NE(console.consoleBuffer.get(), nullptr);
  EXPECT_TRUE(
      std::all_of(&console.consoleBuffer[0], &console.consoleBuffer[800], [](uint8_t c) { return c == 0; }));
  EXPECT_EQ(console.cursorSwitch, SWITCH_ON);
  EXPECT_EQ(console.blinkRate, 10);
}

TEST_F(BitmapFontTest, ShutDownReleasesTheFontsTheirTexturesAndTheConsole) {
  initFonts();
  ASSERT_EQ(loadFont(ZARNOK_ASSET_DIR "/fonts/techno1.glf"), 0);
  ASSERT_EQ(loadBitmapFont(path.c_str()), 0);
  const GLuint texture = font.texture;
  shutdownFonts();
  EXPECT_EQ(fontRegistry.fonts[0].get(), nullptr);
  EXPECT_EQ(font.inUse, 0);
  EXPECT_FALSE(glIsTexture(texture));
  EXPECT_EQ(fontRegistry.console.consoleBuffer.get(), nullptr);
}

}  // namespace
