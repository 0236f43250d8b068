// vector_font_test.cpp -- the vector-font library in a real Mesa context: its registry, reader,
// layout and console, what some drawers leave in the frame; and the font tools at work, with
// fontshow's frame held to the picture in the documentation.
#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <ostream>

#include "font/extruded_text.h"
#include "font/font_library.h"
#include "font/outline_text.h"
#include "font/text_console.h"
#include "tests/support/gl_context.h"

namespace {

struct TestGlyph {  // coordinates are written as they lie in memory: little-endian, as the files
  uint8_t code;
  std::vector<GlyphVertex> vertices;
  std::vector<uint8_t> facets;       // three vertex indices per triangle
  std::vector<uint8_t> contourEnds;  // the last vertex of each contour
};

// A rectangle wound clockwise seen from +z: one contour of four vertices, two triangles.
TestGlyph box(uint8_t code, float left, float right, float bottom, float top) {
  return {code, {{left, bottom}, {left, top}, {right, top}, {right, bottom}}, {0, 1, 2, 0, 2, 3}, {3}};
}

// "GLF", 96 name bytes, the record count, 28 reserved bytes; per glyph its code, counts and arrays.
std::vector<uint8_t> fontBytes(const std::vector<TestGlyph>& glyphs) {
  std::vector<uint8_t> out = {'G', 'L', 'F'};
  out.resize(128, 0xEE);
  out[99] = uint8_t(glyphs.size());
  for (const TestGlyph& g : glyphs) {
    const auto* xy = reinterpret_cast<const uint8_t*>(g.vertices.data());
    out.insert(out.end(), {g.code, uint8_t(g.vertices.size()), uint8_t(g.facets.size() / 3),
                           uint8_t(g.contourEnds.size())});
    out.insert(out.end(), xy, xy + 8 * g.vertices.size());
    out.insert(out.end(), g.facets.begin(), g.facets.end());
    out.insert(out.end(), g.contourEnds.begin(), g.contourEnds.end());
  }
  return out;
}

const std::string kDir = ::testing::TempDir();  // this run's own (tests/support/with-xvfb)

int loadBytes(const std::vector<uint8_t>& bytes) {  // as a font file: the slot, or -1
  const std::string path = kDir + "test.font";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  return loadFont(path.c_str());
}

auto nearly(const std::vector<float>& v) { return ::testing::Pointwise(::testing::FloatNear(1e-3f), v); }

// A point in object coordinates, equal to another within 1e-3.
struct Point {
  float x = 0, y = 0, z = 0;
};
bool operator==(const Point& a, const Point& b) {
  return std::fabs(a.x - b.x) < 1e-3f && std::fabs(a.y - b.y) < 1e-3f && std::fabs(a.z - b.z) < 1e-3f;
}
std::ostream& operator<<(std::ostream& out, const Point& p) {
  return out << "(" << p.x << ", " << p.y << ", " << p.z << ")";
}

// The projection of every test: x and y lean by a tenth of z, and all is scaled by a quarter.
const GLfloat kOblique[16] = {0.25f, 0, 0, 0, 0, 0.25f, 0, 0, 0.1f, 0.1f, 0.25f, 0, 0, 0, 0, 1};

bool drawsNothing(const std::function<void()>& draw) {
  const std::vector<unsigned char> frame = frameOf(draw);
  return std::all_of(frame.begin(), frame.end(), [](unsigned char c) { return c == 0; });
}

Point modelviewOrigin() {
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  return {m[12], m[13], m[14]};
}

std::vector<Point> origins;  // where the recording drawer was called
void recordOrigin(unsigned char) { origins.push_back(modelviewOrigin()); }

// Font 0: boxes A, B, a space and the cursor _, wound clockwise seen from +z; font 1: a wider
// A. Font 0 is current, writing right.
class VectorFontTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(kOblique);
    glMatrixMode(GL_MODELVIEW);
    ASSERT_EQ(loadBytes(fontBytes({box('A', -0.8f, 0.7f, -0.5f, 0.9f), box('B', -0.6f, 0.3f, -0.7f, 0.4f),
                                   box(' ', -0.5f, 0.4f, -0.3f, 0.6f), box('_', -1, 1, -1, -0.8f)})),
              0);
    ASSERT_EQ(loadBytes(fontBytes({box('A', -1, 1, -1, 1)})), 1);
    ASSERT_EQ(selectFont(0), 0);
    setDirection(DIRECTION_RIGHT);
  }
  void TearDown() override {
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    fontRegistry = FontRegistry{};  // every font freed, every field as at program start
  }
};

TEST_F(VectorFontTest, SetDirectionIgnoresValuesOutsideOneToFour) {
  setDirection(DIRECTION_DOWN);
  for (int32_t invalid : {0, 5, -1}) setDirection(invalid);
  EXPECT_EQ(getDirection(), DIRECTION_DOWN);
}

TEST_F(VectorFontTest, LoadThatFailsKeepsTheCurrentFont) {
  EXPECT_EQ(loadFont((kDir + "missing.font").c_str()), -1) << "a missing file";
  EXPECT_EQ(fontRegistry.fonts[2].get(), nullptr);
  for (int slot = 2; slot < FONT_SLOT_COUNT; slot++) ASSERT_EQ(loadBytes(fontBytes({})), slot);
  ASSERT_EQ(selectFont(5), 0);
  EXPECT_EQ(loadBytes(fontBytes({})), -1) << "a full registry";
  EXPECT_EQ(getCurrentFont(), 5);
}

TEST_F(VectorFontTest, CallsTakingASlotRefuseAnEmptyOrInvalidOne) {
  initConsole(4, 3);
  fontRegistry.console.consoleFont = 1;
  for (int slot : {-1, 3, 256}) {  // negative, empty, past the last
    SCOPED_TRACE(slot);
    EXPECT_EQ(unloadFont(slot), -1);
    EXPECT_EQ(selectFont(slot), -1);
    EXPECT_EQ(setConsoleFont(slot), -1);
    EXPECT_EQ(getCurrentFont(), 0);
    EXPECT_EQ(fontRegistry.console.consoleFont, 1);
  }
  EXPECT_EQ(setConsoleFont(0), 0);
  EXPECT_EQ(fontRegistry.console.consoleFont, 0);
}

TEST_F(VectorFontTest, UnloadingTheCurrentFontLeavesNoneCurrent) {
  ASSERT_EQ(unloadFont(1), 0);
  EXPECT_EQ(getCurrentFont(), 0) << "after unloading another font";
  ASSERT_EQ(unloadFont(0), 0);
  EXPECT_EQ(getCurrentFont(), -1);
  EXPECT_EQ(unloadCurrentFont(), -1) << "with no current font";
  fontRegistry.currentFont = FONT_SLOT_COUNT;
  EXPECT_EQ(unloadCurrentFont(), -1) << "with the current font past the last slot";
  fontRegistry.currentFont = -1;
  ASSERT_EQ(loadBytes(fontBytes({})), 0) << "the lowest empty slot";
  EXPECT_EQ(unloadCurrentFont(), 0);
  EXPECT_EQ(fontRegistry.fonts[0].get(), nullptr);
  EXPECT_EQ(getCurrentFont(), -1);
}

// A glyph of two contours and one triangle, and one without vertices (what fonts keep is fontshow's).
const TestGlyph kTwoContours = {
    'O', {{-0.9f, -0.8f}, {0.6f, 0.95f}, {0, 0.5f}, {0.25f, -0.25f}}, {2, 0, 1}, {1, 3}};
const TestGlyph kNoVertices = {'.', {}, {}, {}};

const char kFormatError[] = "Error reading font file: incorrect file format\n";
const char kSymbolsError[] = "Error reading font file: encountered symbols in font\n";

std::vector<uint8_t> withByte(std::vector<uint8_t> bytes, size_t at, uint8_t value) {
  bytes[at] = value;
  return bytes;
}

TEST_F(VectorFontTest, ReaderRefusesABadFileWithItsMessage) {
  const std::vector<uint8_t> good = fontBytes({kTwoContours, kNoVertices});
  const std::vector<GlyphVertex> four = kTwoContours.vertices;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::string message;  // printed with messages on
  };
  const Case cases[] = {
      {"only two bytes", {'G', 'L'}, kFormatError},
      {"magic in lower case", withByte(good, 2, 'f'), kFormatError},
      {"a code twice", fontBytes({kTwoContours, kTwoContours}), kSymbolsError},
      {"a triangle corner past the vertices", fontBytes({{'O', four, {2, 0, 4}, {1, 3}}}), ""},
      {"a contour end past the vertices", fontBytes({{'O', four, {2, 0, 1}, {1, 4}}}), ""},
  };
  ASSERT_EQ(unloadFont(0), 0);
  ASSERT_EQ(selectFont(1), 0);
  for (const Case& c : cases)
    for (bool messages : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (messages ? ", messages on" : ", messages off"));
      fontRegistry.messagesSwitch = messages ? SWITCH_ON : SWITCH_OFF;
      ::testing::internal::CaptureStdout();
      EXPECT_EQ(loadBytes(c.bytes), -1);
      EXPECT_EQ(::testing::internal::GetCapturedStdout(), messages ? c.message : "");
      EXPECT_EQ(fontRegistry.fonts[0].get(), nullptr);
      EXPECT_EQ(getCurrentFont(), 1);
    }
  enableOption(OPTION_MESSAGES);
  for (long size = 3; size < long(good.size()); size++) {  // cut short anywhere: refused silently
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(loadBytes({good.begin(), good.begin() + size}), -1) << size << " bytes";
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << size << " bytes";
  }
}

// A spans x -0.8..0.7 and y -0.5..0.9, B x -0.6..0.3 and y -0.7..0.4; '!' has no glyph. Uncentred,
// A's near edge goes on the edge of its cell and B follows 0.7 + 0.6 + 0.2 further (A's right,
// B's left, the gap). The other directions, rotation and leading spaces are fontshow's frame's.
TEST_F(VectorFontTest, LayoutGivesEachGlyphItsOrigin) {
  struct Case {
    const char* name;
    const char* text;
    int32_t direction;
    int centered;
    float rotation;
    std::vector<Point> origins;
    float symbolSpace = 0.2f;
    float spaceSize = 2;
  };
  const Case cases[] = {
      {"right", "AB", DIRECTION_RIGHT, 0, 0, {{-0.2f, 0}, {1.3f, 0}}},
      {"a space between", "A B", DIRECTION_RIGHT, 0, 0, {{-0.2f, 0}, {2, 0}}},
      {"no glyph between", "AA!B", DIRECTION_RIGHT, 0, 0, {{-0.2f, 0}, {1.5f, 0}, {1.5f, 0}, {3.5f, 0}}},
      {"no direction yet", "AB", 0, 0, 0, {}},
      {"empty", "", DIRECTION_RIGHT, 0, 0, {}},
      {"centred right", "AB B", DIRECTION_RIGHT, 1, 0, {{-1.85f, 0}, {-0.35f, 0}, {1.85f, 0}}},
      {"centred left", "AB B", DIRECTION_LEFT, 1, 0, {{-1.85f, 0}, {-3.15f, 0}, {-5.35f, 0}}},
      {"centred up", "AB B", DIRECTION_UP, 1, 0, {{0, 1.9f}, {0, 3.7f}, {0, 5.9f}}},
      {"centred down", "AB B", DIRECTION_DOWN, 1, 0, {{0, 1.9f}, {0, 0.8f}, {0, -1.4f}}},
      {"wider gaps and spaces", "A B", DIRECTION_RIGHT, 0, 0, {{-0.2f, 0}, {3.3f, 0}}, 0.5f, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fontRegistry.direction = c.direction;  // also the 0 that setDirection refuses
    setCentering(c.centered);
    setRotation(c.rotation);
    setSymbolSpace(c.symbolSpace);
    setSpaceSize(c.spaceSize);
    origins.clear();
    layoutString(c.text, recordOrigin);
    EXPECT_EQ(origins, c.origins);
    EXPECT_EQ(modelviewOrigin(), Point{}) << "the caller's matrix";
  }
}

// Min x, min y, max x, max y: from the first glyph's left edge to a gap past the last glyph; a pair
// of outputs not both given is not written (it keeps 99).
TEST_F(VectorFontTest, StringBoundsSpanTheGlyphsAndGaps) {
  struct Case {
    const char* name;
    int slot;
    const char* text;
    int missingOutput;  // 0 min x, 1 min y, 2 max x, 3 max y
    std::vector<float> bounds;
  };
  const Case cases[] = {
      {"empty", 0, "", -1, {0, 10, 0, -10}},
      {"a first space's own glyph", 0, " A!", -1, {-0.5f, -0.5f, 5.2f, 0.9f}},
      {"no min y", 0, "A", 1, {99, 99, 0.9f, 0.9f}},
      {"no max x", 0, "A", 2, {-0.8f, -0.5f, 99, 99}},
      {"an empty slot", 7, "A", -1, {99, 99, 99, 99}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<float> bounds(4, 99);
    float* outputs[4] = {&bounds[0], &bounds[1], &bounds[2], &bounds[3]};
    if (c.missingOutput >= 0) outputs[c.missingOutput] = nullptr;
    getStringBounds(c.slot, c.text, outputs[0], outputs[1], outputs[2], outputs[3]);
    EXPECT_THAT(bounds, nearly(c.bounds));
  }
  ASSERT_EQ(selectFont(1), 0);
  std::vector<float> current(4, 99);
  getCurrentStringBounds("A", &current[0], &current[1], &current[2], &current[3]);
  EXPECT_THAT(current, nearly({-1, -1, 1.2f, 1})) << "in the current font, 1";
}

// Font 1 is current and has no B. Each drawer given font 0 draws font 0's B; given an empty
// slot, a slot out of range or a code without a glyph, nothing; and the current font stays.
TEST_F(VectorFontTest, DrawersInAFontDrawOnlyAGlyphThatFontHas) {
  struct Case {
    const char* name;
    void (*draw)(int slot, const char* text);  // the text's first character, for a glyph drawer
  };
  const Case cases[] = {
      {"solid glyph", [](int slot, const char* text) { drawSolidGlyphInFont(slot, uint8_t(text[0])); }},
      {"solid string", drawStringInFont},
      {"outline glyph", [](int slot, const char* text) { drawOutlineGlyphInFont(slot, uint8_t(text[0])); }},
      {"outline string", drawOutlineStringInFont},
      {"wire prism", [](int slot, const char* text) { drawWireGlyph3DInFont(slot, uint8_t(text[0])); }},
      {"wire prisms", drawWireString3DInFont},
      {"solid prism", [](int slot, const char* text) { drawSolidGlyph3DInFont(slot, uint8_t(text[0])); }},
      {"solid prisms", drawSolidString3DInFont},
  };
  ASSERT_EQ(selectFont(1), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(drawsNothing([&c] { c.draw(0, "B"); })) << "B in font 0";
    EXPECT_TRUE(drawsNothing([&c] { c.draw(7, "B"); })) << "in the empty slot 7";
    EXPECT_TRUE(drawsNothing([&c] { c.draw(-1, "B"); })) << "in slot -1";
    EXPECT_TRUE(drawsNothing([&c] { c.draw(256, "B"); })) << "in slot 256";
    EXPECT_TRUE(drawsNothing([&c] { c.draw(0, "Z"); })) << "Z, which font 0 lacks";
    EXPECT_EQ(getCurrentFont(), 1);
  }
}

// A triangle with a corner past its glyph's vertices, which the reader refuses, is skipped however
// it got into the registry: A's second triangle, with its fourth vertex taken out of the count,
// the vertex past the count at each corner in turn.
TEST_F(VectorFontTest, DrawersSkipATriangleWithACornerPastTheVertices) {
  VectorGlyph& a = *fontRegistry.fonts[0]->symbols[size_t('A')];
  a.vertexCount = 3;
  for (GlyphDrawer draw : {drawSolidGlyph, drawSolidGlyph3D}) {
    a.facetCount = 1;
    const std::vector<unsigned char> firstTriangle = frameOf([draw] { draw('A'); });
    a.facetCount = 2;
    for (const char* corners : {"\0\2\3", "\3\0\2", "\2\3\0"}) {
      std::copy(corners, corners + 3, &a.facets[3]);
      EXPECT_TRUE(frameOf([draw] { draw('A'); }) == firstTriangle)
          << "corners " << int(corners[0]) << int(corners[1]) << int(corners[2]);
    }
  }
}

// With a texture whose texel (s, t) is red 255 s and green 255 t, a textured glyph shows its
// texture coordinates. The glyph cell, -1 to 1 each way, maps onto 0 to 1: A's points (-0.4, 0.6)
// and (0.4, -0.2), at window pixels (461, 442) and (563, 365), show (0.3, 0.8) and (0.7, 0.4).
TEST_F(VectorFontTest, TexturingMapsTheGlyphCellOntoTheTexture) {
  std::vector<unsigned char> texels;
  for (int t = 0; t < 256; t++)
    for (int s = 0; s < 256; s++) texels.insert(texels.end(), {uint8_t(s), uint8_t(t), 0});
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnable(GL_TEXTURE_2D);
  enableOption(OPTION_TEXTURING);
  frameOf([] { drawSolidGlyph('A'); });
  glDisable(GL_TEXTURE_2D);
  const std::vector<unsigned char> upperLeft = readPixelsRgb(461, 442, 1, 1);
  EXPECT_NEAR(upperLeft[0], 77, 2) << "s at (-0.4, 0.6)";
  EXPECT_NEAR(upperLeft[1], 204, 2) << "t at (-0.4, 0.6)";
  const std::vector<unsigned char> lowerRight = readPixelsRgb(563, 365, 1, 1);
  EXPECT_NEAR(lowerRight[0], 179, 2) << "s at (0.4, -0.2)";
  EXPECT_NEAR(lowerRight[1], 102, 2) << "t at (0.4, -0.2)";
}

std::string consoleCells() {  // '.' where empty
  const TextConsole& c = fontRegistry.console;
  std::string cells(reinterpret_cast<const char*>(c.consoleBuffer.get()),
                    size_t(c.consoleWidth * c.consoleHeight));
  std::replace(cells.begin(), cells.end(), '\0', '.');
  return cells;
}

TEST_F(VectorFontTest, ConsoleWritesLikeATerminal) {
  struct Case {
    const char* name;
    std::string text;
    std::string cells;  // afterwards, on a console of 4 x 3
    int cursorX, cursorY;
  };
  const Case cases[] = {
      {"wraps at the right edge", "abcde", "abcde.......", 1, 1},
      {"newlines", "ab\ncd\n", "ab..cd......", 0, 2},
      {"a newline on the last line scrolls", "a\nb\nc\n", "b...c.......", 0, 2},
      {"a full last line scrolls", "abcdefghijkl", "efghijkl....", 0, 2},
      {"only 32 to 127 print", std::string("\t\r\x1f\0\x80\xff ~\x7f", 9), " ~\x7f.........", 3, 0},
  };
  initConsole(4, 3);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clearConsole();
    EXPECT_EQ(consoleWrite(c.text.data(), int(c.text.size())), int(c.text.size()));
    EXPECT_EQ(consoleCells(), c.cells);
    EXPECT_EQ(fontRegistry.console.cursorX, c.cursorX);
    EXPECT_EQ(fontRegistry.console.cursorY, c.cursorY);
  }
  EXPECT_EQ(consolePrint("ab"), 2);
  EXPECT_EQ(consolePrint(nullptr), 0);
}

// At blink rate 3 the cursor changes phase on every fourth draw (fontshow's frame is a first draw).
TEST_F(VectorFontTest, CursorAtBlinkRateThreeTogglesOnEveryFourthDraw) {
  initConsole(4, 3);
  enableOption(OPTION_CONSOLE_CURSOR);
  setCursorBlinkRate(3);
  std::string shown;  // a draw at a time, of the empty console: 1 where the cursor shows
  for (int draw = 0; draw < 9; draw++) shown += drawsNothing(drawConsole) ? '0' : '1';
  EXPECT_EQ(shown, "111000011");
}

// Drawing moves the matrix down two units a line, and leaves it there.
TEST_F(VectorFontTest, ConsoleLinesLieTwoUnitsApart) {
  initConsole(4, 3);
  drawConsole();
  EXPECT_EQ(modelviewOrigin(), (Point{0, -6, 0}));
}

// A line is drawn from a copy of at most 511 characters: a wider console is refused.
TEST_F(VectorFontTest, ConsoleIsAtMost511Wide) {
  initConsole(511, 2);
  EXPECT_EQ(fontRegistry.console.consoleWidth, 511);
  initConsole(512, 3);
  EXPECT_EQ(fontRegistry.console.consoleHeight, 2) << "the console before";
}

// fontshow's frame of the game's fonts: every vector style, the four directions, centring
// and rotation, the console and the bitmap font plain and masked, every pixel as the
// picture in the documentation shows them (checked by eye when it was taken).
TEST(FontshowTest, FrameLooksAsTheDocumentedPicture) {
  const std::string shot = kDir + "fontshow.png";
  const std::string reference = ZARNOK_SOURCE_DIR "/docs/fontshow.png";
  const std::string command = FONTSHOW " " ZARNOK_ASSET_DIR "/fonts/techno1.glf --screenshot " + shot;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_EQ(differingPixels(shot, reference), 0)
      << "pixels that differ from " << reference << " (-1: either is missing); the frame is " << shot;
}

}  // namespace
