// vector_font_test.cpp -- the vector-font library in a real Mesa context, seen through GL feedback
// under an oblique projection that keeps the walls of prisms in view; and the font tools at work.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <ostream>

#include "font/extruded_text.h"
#include "font/outline_text.h"
#include "font/text_console.h"
#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

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

// The object point a feedback vertex came from (window depth 0..1 is z -4..4).
Point objectPoint(const FeedbackVertex& v) {
  const float z = 8 * v.z - 4;
  return {(v.x - 512) / 128 - 0.4f * z, (v.y - 384) / 96 - 0.4f * z, z};
}

std::vector<Point> pointsOf(const std::vector<FeedbackItem>& items) {  // every vertex, in order
  std::vector<Point> points;
  for (const FeedbackItem& item : items)
    for (const FeedbackVertex& v : item.vertices) points.push_back(objectPoint(v));
  return points;
}

Point modelviewOrigin() {
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  return {m[12], m[13], m[14]};
}

std::vector<Point> origins;  // where the recording drawer was called
void recordOrigin(unsigned char) { origins.push_back(modelviewOrigin()); }

// Font 0: boxes A and B, a space, an underscore and code 1, a ring O of two contours and a wedge V
// of one triangle, wound clockwise seen from +z; font 1: a wider A. Font 0 is current, writing right.
class VectorFontTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(kOblique);
    glMatrixMode(GL_MODELVIEW);
    const TestGlyph ring = {'O', {{0, 0}, {1, 0}, {1, 1}, {2, 2}, {3, 2}, {3, 3}}, {0, 1, 2}, {2, 5}};
    const TestGlyph wedge = {'V', {{-0.5f, -0.5f}, {0, 0.5f}, {0.5f, -0.5f}}, {0, 1, 2}, {2}};
    ASSERT_EQ(loadBytes(fontBytes({box('A', -0.8f, 0.7f, -0.5f, 0.9f), box('B', -0.6f, 0.3f, -0.7f, 0.4f),
                                   box(' ', -0.5f, 0.4f, -0.3f, 0.6f), box('_', -1, 1, -1, -0.8f), ring,
                                   wedge, box(1, -1, 1, -1, 1)})),
              0);
    ASSERT_EQ(loadBytes(fontBytes({box('A', -1, 1, -1, 1)})), 1);
    ASSERT_EQ(selectFont(0), 0);
    setDirection(DIRECTION_RIGHT);
  }
  void TearDown() override {
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glDisable(GL_LIGHTING);
    resetFontRegistry();
  }
};

TEST_F(VectorFontTest, SetDirectionIgnoresValuesOutsideOneToFour) {
  setDirection(DIRECTION_DOWN);
  for (int32_t invalid : {0, 5, -1}) setDirection(invalid);
  EXPECT_EQ(getDirection(), DIRECTION_DOWN);
}

TEST_F(VectorFontTest, LoadThatFailsKeepsTheCurrentFont) {
  EXPECT_EQ(loadFont((testFolder() + "/missing.font").c_str()), -1) << "a missing file";
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
  ASSERT_EQ(loadBytes(fontBytes({})), 0) << "the lowest empty slot";
  EXPECT_EQ(unloadCurrentFont(), 0);
  EXPECT_EQ(fontRegistry.fonts[0].get(), nullptr);
  EXPECT_EQ(getCurrentFont(), -1);
}

// A glyph of two contours and one triangle, and one without vertices.
const TestGlyph kTwoContours = {
    'O', {{-0.9f, -0.8f}, {0.6f, 0.95f}, {0, 0.5f}, {0.25f, -0.25f}}, {2, 0, 1}, {1, 3}};
const TestGlyph kNoVertices = {'.', {}, {}, {}};

TEST_F(VectorFontTest, ReaderKeepsEveryGlyphArrayAndItsBounds) {
  ASSERT_EQ(loadBytes(fontBytes({kTwoContours, kNoVertices})), 2);
  const VectorFont& font = *fontRegistry.fonts[2];
  EXPECT_EQ(std::string(font.name), std::string(96, '\xEE'));
  EXPECT_EQ(font.symbolCount, 2);
  const VectorGlyph& o = *font.symbols[size_t('O')];
  EXPECT_EQ(o.vertexCount, 4);
  EXPECT_EQ(o.facetCount, 1);
  EXPECT_EQ(o.contourCount, 2);
  EXPECT_EQ((Point{o.vertices[1].x, o.vertices[1].y}), (Point{0.6f, 0.95f}));
  EXPECT_EQ(o.facets[0], 2);
  EXPECT_EQ(o.contourEnds[1], 3);
  EXPECT_THAT((std::vector<float>{o.left, o.bottom, o.right, o.top}), near({-0.9f, -0.8f, 0.6f, 0.95f}));
  const VectorGlyph& dot = *font.symbols[size_t('.')];  // no vertices: bounds inside out
  EXPECT_THAT((std::vector<float>{dot.left, dot.bottom, dot.right, dot.top}), near({10, 10, -10, -10}));
}

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
// B's left, the gap); a first space gets no offset.
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
      {"left", "AB", DIRECTION_LEFT, 0, 0, {{0.3f, 0}, {-1, 0}}},
      {"up", "AB", DIRECTION_UP, 0, 0, {{0, 0.5f}, {0, 2.3f}}},
      {"down", "AB", DIRECTION_DOWN, 0, 0, {{0, -0.1f}, {0, -1.2f}}},
      {"a first space", " A", DIRECTION_RIGHT, 0, 0, {{2, 0}}},
      {"a space between", "A B", DIRECTION_RIGHT, 0, 0, {{-0.2f, 0}, {2, 0}}},
      {"no glyph between", "A!B", DIRECTION_RIGHT, 0, 0, {{-0.2f, 0}, {-0.2f, 0}, {1.8f, 0}}},
      {"rotated a quarter turn", "AB", DIRECTION_RIGHT, 0, 90, {{0, -0.2f}, {0, 1.3f}}},
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
  const int kCurrentFont = -2;  // getCurrentStringBounds
  struct Case {
    const char* name;
    int slot;
    const char* text;
    int missingOutput;  // 0 min x, 1 min y, 2 max x, 3 max y
    std::vector<float> bounds;
  };
  const Case cases[] = {
      {"empty", 0, "", -1, {0, 10, 0, -10}},
      {"two glyphs", 0, "AB", -1, {-0.8f, -0.7f, 2, 0.9f}},
      {"a first space's own glyph", 0, " A!", -1, {-0.5f, -0.5f, 5.2f, 0.9f}},
      {"no min y", 0, "A", 1, {99, 99, 0.9f, 0.9f}},
      {"no max x", 0, "A", 2, {-0.8f, -0.5f, 99, 99}},
      {"an empty slot", 7, "A", -1, {99, 99, 99, 99}},
      {"the current font", kCurrentFont, "AB", -1, {-0.8f, -0.7f, 2, 0.9f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<float> bounds(4, 99);
    float* outputs[4] = {&bounds[0], &bounds[1], &bounds[2], &bounds[3]};
    if (c.missingOutput >= 0) outputs[c.missingOutput] = nullptr;
    if (c.slot == kCurrentFont)
      getCurrentStringBounds(c.text, outputs[0], outputs[1], outputs[2], outputs[3]);
    else
      getStringBounds(c.slot, c.text, outputs[0], outputs[1], outputs[2], outputs[3]);
    EXPECT_THAT(bounds, near(c.bounds));
  }
}

// Every vertex each drawer draws, in order, with font 1 current: a glyph's triangles; a loop per
// contour; both loops of a prism (back at z 1, front at 1.2) and an edge at every vertex; or nothing.
TEST_F(VectorFontTest, DrawersDrawTheGlyphOfTheirFont) {
  const Point a = {0, 0}, b = {1, 0}, c = {1, 1}, d = {2, 2}, e = {3, 2}, f = {3, 3};
  const Point u = {-0.5f, -0.5f, 1}, v = {0, 0.5f, 1}, w = {0.5f, -0.5f, 1};
  const Point U = {-0.5f, -0.5f, 1.2f}, V = {0, 0.5f, 1.2f}, W = {0.5f, -0.5f, 1.2f};
  struct Case {
    const char* name;
    void (*draw)();
    std::vector<Point> drawn;
  };
  const Case cases[] = {
      {"solid glyph", [] { drawSolidGlyph('A'); }, {{-1, -1}, {-1, 1}, {1, 1}, {-1, -1}, {1, 1}, {1, -1}}},
      {"outline in font 0", [] { drawOutlineGlyphInFont(0, 'O'); }, {a, b, b, c, c, a, d, e, e, f, f, d}},
      {"wire prism in font 0",
       [] { drawWireGlyph3DInFont(0, 'V'); },
       {u, v, v, w, w, u, U, V, V, W, W, U, u, U, v, V, w, W}},
      {"solid glyph in slot -1", [] { drawSolidGlyphInFont(-1, 'A'); }, {}},
      {"outline string in an empty slot", [] { drawOutlineStringInFont(7, "A"); }, {}},
      {"solid prism in slot 256", [] { drawSolidGlyph3DInFont(256, 'A'); }, {}},
      {"wire prism of a code without a glyph", [] { drawWireGlyph3D('Z'); }, {}},
  };
  ASSERT_EQ(selectFont(1), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(pointsOf(captureFeedback(c.draw)), c.drawn);
    EXPECT_EQ(getCurrentFont(), 1);
  }
}

// The reader refuses a triangle with a corner past the glyph's vertices; the drawers skip one put
// into the registry by hand: the flat glyph draws nothing, the prism its three walls.
TEST_F(VectorFontTest, DrawersSkipATriangleWithACornerPastTheVertices) {
  uint8_t* facets = fontRegistry.fonts[0]->symbols[size_t('V')]->facets.get();
  for (int corner = 0; corner < 3; corner++) {
    SCOPED_TRACE(::testing::Message() << "corner " << corner);
    facets[0] = 0;
    facets[1] = 1;
    facets[2] = 2;
    facets[corner] = 3;
    EXPECT_TRUE(captureFeedback([] { drawSolidGlyph('V'); }).empty());
    EXPECT_EQ(polygonsOf(captureFeedback([] { drawSolidGlyph3D('V'); })).size(), 6u);
  }
}

// A: x -0.8 and 0.7 are s 0.1 and 0.85, y -0.5 and 0.9 are t 0.25 and 0.95.
TEST_F(VectorFontTest, TexturingMapsTheGlyphCellOntoTheTexture) {
  enableOption(OPTION_TEXTURING);
  for (const FeedbackItem& triangle : captureFeedback([] { drawSolidGlyph('A'); }))
    for (const FeedbackVertex& v : triangle.vertices) {
      EXPECT_NEAR(v.s, objectPoint(v).x < 0 ? 0.1f : 0.85f, 1e-4) << objectPoint(v);
      EXPECT_NEAR(v.t, objectPoint(v).y < 0 ? 0.25f : 0.95f, 1e-4) << objectPoint(v);
    }
}

using Rgba = std::array<float, 4>;

TEST_F(VectorFontTest, ContourOverlayIsUnlitInItsColourAndRestoresState) {
  enableOption(OPTION_CONTOURING);
  setContourColor(1, 0, 0, 1);
  struct Case {
    const char* name;
    GlyphDrawer draw;
    bool lighting;
    size_t lines;  // the outline; or both outlines and an edge at every vertex
  };
  const Case cases[] = {
      {"flat glyph", drawSolidGlyph, false, 4},
      {"prism", drawSolidGlyph3D, false, 12},
      {"prism with lighting on", drawSolidGlyph3D, true, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.lighting ? glEnable(GL_LIGHTING) : glDisable(GL_LIGHTING);
    glColor4f(0, 0, 1, 1);
    const GlyphDrawer draw = c.draw;
    const std::vector<FeedbackItem> lines = linesOf(captureFeedback([draw] { draw('A'); }));
    EXPECT_EQ(lines.size(), c.lines);
    for (const FeedbackItem& line : lines)
      for (const FeedbackVertex& v : line.vertices) EXPECT_EQ((Rgba{v.r, v.g, v.b, v.a}), (Rgba{1, 0, 0, 1}));
    Rgba colour;
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, (Rgba{0, 0, 1, 1}));
    EXPECT_EQ(bool(glIsEnabled(GL_LIGHTING)), c.lighting);
  }
}

// The wedge V as a solid prism 0.5 deep (z 1 to 1.5), lit by a directional light from (2, 1, 2):
// a triangle on each face, two on each of the three walls.
std::vector<FeedbackItem> litWedgePrism() {
  const GLfloat direction[4] = {2, 1, 2, 0};
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightfv(GL_LIGHT0, GL_POSITION, direction);
  setSymbolDepth(0.5f);
  const std::vector<FeedbackItem> triangles = polygonsOf(captureFeedback([] { drawSolidGlyph3D('V'); }));
  glDisable(GL_LIGHT0);
  return triangles;
}

Point minus(const Point& a, const Point& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

// The normal each corner should have: (0, 0, 1) in front (z 1.5), (0, 0, -1) behind (z 1); on a
// wall the corner's own position, unscaled, but the pair that closes the wall (the bottom edge, y
// -0.5) keeps the last vertex's, (0.5, -0.5).
Point normalOf(const std::vector<Point>& triangle, const Point& corner) {
  const auto onAll = [&triangle](auto test) { return std::all_of(triangle.begin(), triangle.end(), test); };
  if (onAll([](const Point& p) { return std::fabs(p.z - 1.5f) < 1e-3f; })) return {0, 0, 1};
  if (onAll([](const Point& p) { return std::fabs(p.z - 1) < 1e-3f; })) return {0, 0, -1};
  if (onAll([](const Point& p) { return std::fabs(p.y + 0.5f) < 1e-3f; })) return {0.5f, -0.5f, 0};
  return {corner.x, corner.y, 0};
}

// Each triangle winds counter-clockwise seen from outside; lit by the default light and material,
// a corner's red is 0.04 ambient and 0.8 times the cosine of its (unnormalised) normal with the
// light's direction (2, 1, 2) / 3.
TEST_F(VectorFontTest, SolidPrismTrianglesAndNormalsFaceOutward) {
  const std::vector<FeedbackItem> triangles = litWedgePrism();
  EXPECT_EQ(triangles.size(), 8u);
  const Point inside = {0, -0.2f, 1.25f};
  for (const FeedbackItem& triangle : triangles) {
    const std::vector<Point> t = pointsOf({triangle});
    SCOPED_TRACE(::testing::Message() << "triangle " << t[0] << t[1] << t[2]);
    const Point u = minus(t[1], t[0]), v = minus(t[2], t[0]), out = minus(t[0], inside);
    const Point normal = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    EXPECT_GT(normal.x * out.x + normal.y * out.y + normal.z * out.z, 0) << "winding";
    for (size_t k = 0; k < t.size(); k++) {
      const Point n = normalOf(t, t[k]);
      EXPECT_NEAR(triangle.vertices[k].r, 0.04f + 0.8f * std::max(0.0f, (2 * n.x + n.y + 2 * n.z) / 3), 1e-3)
          << t[k];
    }
  }
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

TEST_F(VectorFontTest, ConsoleDrawsEachLineInItsFontTwoUnitsBelowTheLast) {
  initConsole(2, 3);
  ASSERT_EQ(setConsoleFont(0), 0);
  consolePrint("AA\nA");        // a full line, an empty one, one with the cursor
  ASSERT_EQ(selectFont(1), 0);  // the current font has a wider A and no cursor glyph
  enableOption(OPTION_CONSOLE_CURSOR);
  setCursorBlinkRate(3);  // shown at once
  // The matrix stays where the last line left it: an A drawn next goes below.
  const std::vector<Point> console = pointsOf(captureFeedback([] {
    drawConsole();
    drawStringInFont(0, "A");
  }));
  glLoadIdentity();
  const std::vector<Point> lines = pointsOf(captureFeedback([] {
    for (const char* line : {"AA", "", "A_", "A"}) {
      drawStringInFont(0, line);
      glTranslatef(0, -2, 0);
    }
  }));
  EXPECT_EQ(console, lines);
}

TEST_F(VectorFontTest, CursorAtBlinkRateThreeTogglesOnEveryFourthDraw) {
  initConsole(4, 3);
  enableOption(OPTION_CONSOLE_CURSOR);
  setCursorBlinkRate(3);
  std::string shown;  // in each draw of the empty console, whose font 0 has a cursor glyph
  for (int draw = 0; draw < 9; draw++) {
    const bool drawn = !captureFeedback([] {
                          glLoadIdentity();
                          drawConsole();
                        }).empty();
    shown += drawn ? '1' : '0';
  }
  EXPECT_EQ(shown, "111000011");
}

TEST_F(VectorFontTest, FontCompilerOutputLoadsWholeAndFontshowDrawsIt) {
  const std::string font = testFolder() + "/compiled.font";
  const std::string shot = testFolder() + "/shot.png";
  ASSERT_EQ(std::system((FONT_COMPILER " /usr/share/fonts/truetype/ocr-a/OCRABold.ttf " + font).c_str()), 0);
  ASSERT_EQ(loadFont(font.c_str()), 2);
  for (int code = '!'; code <= '~'; code++)
    EXPECT_NE(fontRegistry.fonts[2]->symbols[code].get(), nullptr) << char(code);
  ASSERT_EQ(std::system((FONTSHOW " " + font + " --screenshot " + shot).c_str()), 0);
  EXPECT_GT(std::ifstream(shot, std::ios::ate).tellg(), 0);
}

}  // namespace
