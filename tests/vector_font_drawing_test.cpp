// vector_font_drawing_test.cpp -- strings laid out and drawn in every style, and the text
// console, in a real Mesa context: the origin the layout gives each glyph, and what was drawn
// seen through GL feedback under an oblique projection that keeps prism walls in view.
#include <GL/gl.h>

#include "font/extruded_text.h"
#include "font/outline_text.h"
#include "font/text_console.h"
#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

// Object x, y, z of every vertex drawn (the projection undone), or its red, green, blue.
std::vector<float> drawn(const std::vector<FeedbackItem>& items, bool colours = false) {
  std::vector<float> out;
  for (const FeedbackItem& item : items)
    for (const FeedbackVertex& v : item.vertices) {
      const float z = 4 * (2 * v.z - 1), x = (v.x / 512 - 1 - 0.1f * z) * 4,
                  y = (v.y / 384 - 1 - 0.1f * z) * 4;
      out.insert(out.end(), {colours ? v.r : x, colours ? v.g : y, colours ? v.b : z});
    }
  return out;
}
std::vector<float> origins;  // x, y at each call of the recording drawer
void record(unsigned char) {
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  origins.insert(origins.end(), {m[12], m[13]});
}

class VectorFontDrawingTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    const GLfloat oblique[16] = {0.25f, 0, 0, 0, 0, 0.25f, 0, 0, 0.1f, 0.1f, 0.25f, 0, 0, 0, 0, 1};
    glMatrixMode(GL_PROJECTION), glLoadMatrixf(oblique), glMatrixMode(GL_MODELVIEW);
    const TestGlyph rings = {'O', {{0, 0}, {1, 0}, {1, 1}, {2, 2}, {3, 2}, {3, 3}}, {0, 1, 2}, {2, 5}};
    ASSERT_EQ(loadBytes(fontBytes({box('A', -0.8f, 0.7f, -0.5f, 0.9f), box('B', -0.6f, 0.3f, -0.7f, 0.4f),
                                   box(' ', -0.5f, 0.4f, -0.3f, 0.6f), box('_', -1, 1, -1, -0.8f), rings})),
              0);
    ASSERT_EQ(loadBytes(fontBytes({box('A', -1, 1, -1, 1)})) + selectFont(0), 1);
    setDirection(1);
  }
  void TearDown() override {
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glDisable(GL_LIGHTING), resetFontRegistry();
  }
};

TEST_F(VectorFontDrawingTest, LaysGlyphsOutAlongEachDirection) {
  struct Case {
    const char* text;
    int32_t direction, centered;
    std::vector<float> origins;  // x, y of each character but spaces
    float rotation = 0, space = 0.2f, spaceSize = 2;
  };
  // 'A' spans x -0.8..0.7, y -0.5..0.9; 'B' x -0.6..0.3, y -0.7..0.4; '!' has no glyph. A's near edge
  // goes on the cell's; B follows after 0.7 + 0.6 + 0.2 (A's right, B's left, the gap); a first space
  // gets no offset; centring moves by half the signed length. Unset (0), a direction lays nothing out.
  const Case cases[] = {{"AB", 1, 0, {-0.2f, 0, 1.3f, 0}},
                        {"AB", 2, 0, {0.3f, 0, -1, 0}},
                        {"AB", 3, 0, {0, 0.5f, 0, 2.3f}},
                        {"AB", 4, 0, {0, -0.1f, 0, -1.2f}},
                        {" A", 1, 0, {2, 0}},
                        {"A B", 1, 0, {-0.2f, 0, 3.3f, 0}, 0, 0.5f, 3},
                        {"A!B", 1, 0, {-0.2f, 0, -0.2f, 0, 1.8f, 0}},
                        {"AB", 1, 0, {0, -0.2f, 0, 1.3f}, 90},
                        {"AB B", 1, 1, {-1.85f, 0, -0.35f, 0, 1.85f, 0}},
                        {"AB B", 2, 1, {-1.85f, 0, -3.15f, 0, -5.35f, 0}},
                        {"AB B", 3, 1, {0, 1.9f, 0, 3.7f, 0, 5.9f}},
                        {"AB B", 4, 1, {0, 1.9f, 0, 0.8f, 0, -1.4f}},
                        {"AB", 0, 0, {}},
                        {"", 1, 0, {}}};
  for (const Case& c : cases) {
    fontRegistry.direction = c.direction, setCentering(c.centered), setRotation(c.rotation);
    setSymbolSpace(c.space), setSpaceSize(c.spaceSize), origins.clear();
    layoutString(c.text, record);
    EXPECT_THAT(origins, near(c.origins)) << c.text << " in direction " << c.direction;
  }
}

TEST_F(VectorFontDrawingTest, TexturesFlatGlyphsAndOutlinesEachContourAsALoop) {
  enableOption(11);  // the cell -1..1 onto 0..1: A's x -0.8, 0.7 and y -0.5, 0.9
  for (const FeedbackVertex& v : polygonsOf(captureFeedback([] { drawSolidGlyph('A'); }))[0].vertices)
    EXPECT_THAT((std::vector<float>{v.s, v.t}), near({v.x < 512 ? 0.1f : 0.85f, v.y < 384 ? 0.25f : 0.95f}));
  EXPECT_THAT(drawn(captureFeedback([] { drawOutlineGlyph('O'); })),
              near({0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 0, 0, 0,
                    2, 2, 0, 3, 2, 0, 3, 2, 0, 3, 3, 0, 3, 3, 0, 2, 2, 0}));
}

TEST_F(VectorFontDrawingTest, ContoursGoOverSolidsInTheirColourUnlitAndTheCallersStateComesBack) {
  enableOption(12), setContourColor(1, 0, 0, 1);
  // The outline, or both outlines and an edge at every vertex.
  for (auto [draw, lines, lighting] : {std::tuple<GlyphDrawer, int, bool>{drawSolidGlyph, 4, false},
                                       {drawSolidGlyph3D, 12, false},
                                       {drawSolidGlyph3D, 12, true}}) {
    lighting ? glEnable(GL_LIGHTING) : glDisable(GL_LIGHTING);
    glColor4f(0, 0, 1, 1);
    std::vector<float> shown = drawn(linesOf(captureFeedback([draw = draw] { draw('A'); })), true), red,
                       colour(4);
    for (int i = 0; i < 2 * lines; i++) red.insert(red.end(), {1, 0, 0});
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(shown, red);
    EXPECT_TRUE(colour == std::vector<float>({0, 0, 1, 1}) && glIsEnabled(GL_LIGHTING) == lighting);
  }
}

TEST_F(VectorFontDrawingTest, SolidPrismFacesOutwardAndIsLitByItsNormals) {
  const GLfloat fromRightFront[4] = {1, 0, 1, 0};
  glEnable(GL_LIGHTING), glEnable(GL_LIGHT0), glLightfv(GL_LIGHT0, GL_POSITION, fromRightFront);
  const auto polygons = polygonsOf(captureFeedback([] { drawSolidGlyph3D('A'); }));
  glDisable(GL_LIGHT0);
  EXPECT_EQ(polygons.size(), 12u);  // two triangles on each face and on each of the four walls
  for (const FeedbackItem& polygon : polygons) {
    const std::vector<float> p = drawn({polygon}), lit = drawn({polygon}, true),
                             centre = {-0.05f, 0.2f, 1.1f};
    // 'A' winds clockwise seen from +z, so each triangle of its prism winds counter-clockwise seen
    // from outside: its normal points away from the prism's centre.
    float outward = 0;
    for (int i = 0, j = 1, k = 2; i < 3; i++, j = (i + 1) % 3, k = (i + 2) % 3)
      outward += ((p[3 + j] - p[j]) * (p[6 + k] - p[k]) - (p[3 + k] - p[k]) * (p[6 + j] - p[j])) *
                 (p[i] + p[3 + i] + p[6 + i] - 3 * centre[i]);
    EXPECT_GT(outward, 0);
    // Lit by the default light and material. The faces' normals are (0, 0, 1) and (0, 0, -1); a wall
    // vertex's is its own position, not normalised, but the pair closing the wall (A's bottom edge)
    // keeps the last vertex's, (0.7, -0.5).
    const float z = p[2] + p[5] + p[8], y = p[1] + p[4] + p[7];
    for (int k = 0; k < 3; k++) {
      const float facing = z > 3.59f ? 1 : z < 3.01f ? -1 : y < -1.49f ? 0.7f : p[3 * k];
      EXPECT_NEAR(lit[3 * k], 0.04f + 0.8f * std::max(0.0f, facing) / std::sqrt(2.0f), 1e-3);
    }
  }
}

TEST_F(VectorFontDrawingTest, EveryStyleHasStringAndGivenFontMembers) {
  using Style = std::tuple<GlyphDrawer, void (*)(int, unsigned char), void (*)(const char*),
                           void (*)(int, const char*)>;
  for (auto [glyph, glyphInFont, string, stringInFont] :
       {Style{drawSolidGlyph, drawSolidGlyphInFont, drawString, drawStringInFont},
        {drawOutlineGlyph, drawOutlineGlyphInFont, drawOutlineString, drawOutlineStringInFont},
        {drawWireGlyph3D, drawWireGlyph3DInFont, drawWireString3D, drawWireString3DInFont},
        {drawSolidGlyph3D, drawSolidGlyph3DInFont, drawSolidString3D, drawSolidString3DInFont}}) {
    ASSERT_EQ(selectFont(0), 0);
    const auto one = drawn(captureFeedback([g = glyph] { g('A'); }));
    const auto text = drawn(captureFeedback([g = glyph] { layoutString("A B", g); }));
    EXPECT_TRUE(!one.empty() && drawn(captureFeedback([s = string] { s("A B"); })) == text);
    ASSERT_EQ(selectFont(1), 0);  // a different 'A': the given font is drawn, the current one kept
    EXPECT_EQ(drawn(captureFeedback([g = glyphInFont] { g(0, 'A'); })), one);
    EXPECT_EQ(drawn(captureFeedback([s = stringInFont] { s(0, "A B"); })), text);
    for (int bad : {7, -1, 256})
      EXPECT_TRUE(captureFeedback([&, bad] { glyphInFont(bad, 'A'), stringInFont(bad, "A"); }).empty());
    EXPECT_EQ(getCurrentFont(), 1);
  }
}

TEST_F(VectorFontDrawingTest, MeasuresLeftToRightTextWritingOnlyWholePairs) {
  auto bounds = [](int slot, const char* text, int missing = -1) {
    std::vector<float> b(4, 99);  // min x, min y, max x, max y
    float* out[4] = {&b[0], &b[1], &b[2], &b[3]};
    if (missing >= 0) out[missing] = nullptr;
    slot == 0 ? getCurrentStringBounds(text, out[0], out[1], out[2], out[3])
              : getStringBounds(slot, text, out[0], out[1], out[2], out[3]);
    return b;
  };
  // A gap after every glyph; the glyph of a first space gives min x. A pair missing an output is not written.
  for (auto [text, expected] : {std::pair{"", std::vector<float>{0, 10, 0, -10}},
                                {"AB", {-0.8f, -0.7f, 2, 0.9f}},
                                {" A!", {-0.5f, -0.5f, 5.2f, 0.9f}}})
    EXPECT_THAT(bounds(0, text), near(expected));
  for (int slot : {7, -1, 256}) EXPECT_THAT(bounds(slot, "A"), near({99, 99, 99, 99}));
  for (int missing : {0, 1, 2, 3})
    EXPECT_THAT(bounds(0, "A", missing), near(missing < 2 ? std::vector<float>{99, 99, 0.9f, 0.9f}
                                                          : std::vector<float>{-0.8f, -0.5f, 99, 99}));
}

TEST_F(VectorFontDrawingTest, ConsoleWrapsScrollsAndDrawsItsLinesInItsOwnFontWithABlinkingCursor) {
  auto grid = [] {  // the cells, '.' for an empty one, then '@' and the cursor's column and line
    const TextConsole& c = fontRegistry.console;
    std::string cells(reinterpret_cast<const char*>(c.consoleBuffer.get()),
                      size_t(c.consoleWidth * c.consoleHeight));
    std::replace(cells.begin(), cells.end(), '\0', '.');
    return cells + "@" + std::to_string(c.cursorX) + "," + std::to_string(c.cursorY);
  };
  initConsole(4, 3);
  for (auto [text, expected] : {std::pair<std::string, std::string>{"abcde", "abcde.......@1,1"},
                                {"ab\ncd\n", "ab..cd......@0,2"},
                                {"a\nb\nc\n", "b...c.......@0,2"},
                                {"abcdefghijkl", "efghijkl....@0,2"},
                                {std::string("\t\r\x1f\0\x80\xff ~\x7f", 9), " ~\x7f.........@3,0"}}) {
    clearConsole();
    EXPECT_TRUE(consoleWrite(text.data(), int(text.size())) == int(text.size()) && grid() == expected)
        << grid();
  }
  EXPECT_TRUE(consolePrint("xy") == 2 && consolePutChar('\n') == 1 && grid() == " ~\x7fxy.......@0,2")
      << grid();
  initConsole(4, 3);  // a new console is empty, also where the old one's memory was
  EXPECT_EQ(grid(), "............@0,0");

  for (int bad : {-1, 7, 256}) EXPECT_EQ(setConsoleFont(bad), -1);
  ASSERT_EQ(setConsoleFont(1) + setConsoleFont(0) + selectFont(1), 0);  // not the current font
  consolePrint("A\nabA");                                               // 'a' and 'b' have no glyphs
  enableOption(30), setCursorBlinkRate(10);
  const auto lines = drawn(captureFeedback(drawConsole));
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  glLoadIdentity();
  EXPECT_EQ(lines, drawn(captureFeedback([] {
              for (const char* line : {"A", "abA_", ""}) drawStringInFont(0, line), glTranslatef(0, -2, 0);
            })));
  EXPECT_EQ(lines.size(), 3u * 3 * 6);  // three glyphs of two triangles
  EXPECT_EQ(m[13], -6);                 // two units down a line, not undone
  auto blinks = [](int draws) {         // whether each draw shows the cursor
    std::string shown;
    while (draws-- > 0)
      shown += captureFeedback([] { glPushMatrix(), drawConsole(), glPopMatrix(); }).size() > 4 ? '1' : '0';
    return shown;
  };
  setCursorBlinkRate(3);  // shown at once, then a new phase on every fourth draw
  EXPECT_EQ(blinks(9), "111000011");
  disableOption(30);  // no cursor, and the blink stands still
  EXPECT_EQ(blinks(3), "000");
  enableOption(30);
  EXPECT_EQ(blinks(2), "11");
}

}  // namespace
