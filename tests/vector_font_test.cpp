// vector_font_test.cpp -- the vector-font library in a real Mesa context: registry, file reader, string
// layout (the origin each glyph is given), every drawing style and the text console (what was drawn, seen
// through GL feedback under an oblique projection that keeps prism walls in view); the font tools at work.
#include "font/extruded_text.h"
#include "font/outline_text.h"
#include "font/text_console.h"
#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

// Object x, y, z of every vertex drawn (x and y lean by a tenth of z, all keep a quarter), or its colour.
std::vector<float> drawn(const std::vector<FeedbackItem>& items, bool colours = false) {
  std::vector<float> out;
  for (const FeedbackItem& item : items)
    for (const FeedbackVertex& v : item.vertices)
      out.insert(out.end(), {colours ? v.r : v.x / 128 - 2.4f - 3.2f * v.z,
                             colours ? v.g : v.y / 96 - 2.4f - 3.2f * v.z, colours ? v.b : 8 * v.z - 4});
  return out;
}
std::vector<float> origins;  // x, y at each call of the recording drawer
void record(unsigned char) {
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  origins.insert(origins.end(), {m[12], m[13]});
}

class VectorFontTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    const GLfloat oblique[16] = {0.25f, 0, 0, 0, 0, 0.25f, 0, 0, 0.1f, 0.1f, 0.25f, 0, 0, 0, 0, 1};
    glMatrixMode(GL_PROJECTION), glLoadMatrixf(oblique), glMatrixMode(GL_MODELVIEW);
    const TestGlyph ring = {'O', {{0, 0}, {1, 0}, {1, 1}, {2, 2}, {3, 2}, {3, 3}}, {0, 1, 2}, {2, 5}},
                    wedge = {'V', {{-0.5f, -0.5f}, {0, 0.5f}, {0.5f, -0.5f}}, {0, 1, 2}, {2}};  // clockwise
    ASSERT_EQ(loadBytes(fontBytes({box('A', -0.8f, 0.7f, -0.5f, 0.9f), box('B', -0.6f, 0.3f, -0.7f, 0.4f),
                                   box(' ', -.5f, .4f, -.3f, .6f), box('_', -1, 1, -1, -.8f), ring, wedge})),
              0);
    ASSERT_EQ(loadBytes(fontBytes({box('A', -1, 1, -1, 1)})), 1);
    selectFont(0), setDirection(1);
    setDirection(1);
  }
  void TearDown() override {
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glDisable(GL_LIGHTING), resetFontRegistry();
  }
};

TEST_F(VectorFontTest, RegistryStartsAsTheGameRunsKeepsOnlyAcceptedSettingsAndFillsTheLowestEmptySlot) {
  resetFontRegistry();
  for (int unknown : {9, 13, 29, 31}) enableOption(unknown);  // changes nothing
  const FontRegistry& r = fontRegistry;
  EXPECT_THAT((std::vector<float>{r.symbolSpace, r.spaceSize, r.symbolDepth, r.rotation, float(r.currentFont),
                                  float(r.direction), float(r.centered), float(r.messagesSwitch),
                                  float(r.texturingSwitch), float(r.contouringSwitch)}),
              near({0.2f, 2, 0.2f, 0, 0, 0, 0, 2, 2, 2}));
  for (int32_t d : {1, 2, 3, 4, 0, 5, -1}) setDirection(d), setCentering(256);  // only its low byte counts
  EXPECT_EQ(getDirection() * 10 + getCentering(), 40);
  for (int slot = 0; slot < 256; slot++) ASSERT_EQ(loadBytes(fontBytes({})), slot);
  EXPECT_TRUE(selectFont(5) == 0 && loadBytes(fontBytes({})) == -1 && unloadFont(3) == 0);  // full; 5 stays
  for (int bad : {3, -1, 256}) EXPECT_TRUE(unloadFont(bad) == -1 && selectFont(bad) == -1) << bad;
  EXPECT_TRUE(loadFont((testFolder() + "/missing.font").c_str()) == -1 && getCurrentFont() == 5);
  EXPECT_TRUE(unloadFont(5) == 0 && getCurrentFont() == -1 && unloadCurrentFont() == -1);
  EXPECT_TRUE(loadBytes(fontBytes({})) == 3 && unloadCurrentFont() == 0 && getCurrentFont() == -1);  // lowest
}

TEST_F(VectorFontTest, ReaderTakesAFileWholeAndRefusesBadOnesWithTheirMessages) {
  const std::vector<uint8_t> good =  // two contours and one triangle; a glyph without vertices
      fontBytes({{'O', {{-0.9f, -0.8f}, {0.6f, 0.95f}, {0, 0.5f}, {0.25f, -0.25f}}, {2, 0, 1}, {1, 3}},
                 {'.', {}, {}, {}}});
  const std::string format = "Error reading font file: incorrect file format\n";
  std::vector<std::pair<std::vector<uint8_t>, std::string>> bad = {{{'G', 'L'}, format}};
  // The magic in lower case, 'O' twice, a triangle corner and a contour end past the last vertex.
  for (auto [at, value] : {std::pair{0, 'g'}, {1, 'l'}, {2, 'f'}, {169, 'O'}, {164, 4}, {168, 4}})
    bad.push_back({good, at < 3 ? format : ""}), bad.back().first[size_t(at)] = uint8_t(value);
  bad[4].second = "Error reading font file: encountered symbols in font\n";
  for (long size = 3; size < 173; size++) bad.push_back({{good.begin(), good.begin() + size}, ""});
  ASSERT_TRUE(loadBytes(good) == 2 && unloadFont(0) == 0);
  for (size_t i = 0; i < bad.size(); i++)
    for (int option : {10, 0}) {  // messages on, then off
      option ? enableOption(option) : disableOption(10);
      ::testing::internal::CaptureStdout();
      EXPECT_TRUE(loadBytes(bad[i].first) == -1 && !fontRegistry.fonts[0] && getCurrentFont() == 2) << i;
      EXPECT_EQ(::testing::internal::GetCapturedStdout(), option ? bad[i].second : "") << i;
    }
  const VectorFont& font = *fontRegistry.fonts[2];
  const VectorGlyph &o = *font.symbols[size_t('O')], &dot = *font.symbols[size_t('.')];
  EXPECT_EQ(std::string(font.name) + char(font.symbolCount), std::string(96, '\xEE') + '\2');
  EXPECT_THAT((std::vector<float>{float(o.vertexCount), float(o.facetCount), float(o.contourCount),
                                  o.vertices[1].y, float(o.facets[0]), float(o.contourEnds[1]), o.left,
                                  o.right, o.bottom, o.top, dot.left, dot.right, dot.bottom, dot.top}),
              near({4, 1, 2, 0.95f, 2, 3, -0.9f, 0.6f, -0.8f, 0.95f, 10, -10, 10, -10}));
}

TEST_F(VectorFontTest, LaysOutAndMeasuresStrings) {
  // A spans x -0.8..0.7, y -0.5..0.9, B x -0.6..0.3, y -0.7..0.4; '!' has no glyph. A's near edge goes on the
  // cell's, B follows 0.7 + 0.6 + 0.2 further (A's right, B's left, the gap); a first space gets no offset.
  for (auto [text, direction, centered, rotation, expected] :  // clang-format off
       std::vector<std::tuple<const char*, int32_t, int, float, std::vector<float>>>{
      {"AB", 1, 0, 0, {-0.2f, 0, 1.3f, 0}}, {"AB", 2, 0, 0, {0.3f, 0, -1, 0}}, {"AB", 3, 0, 0, {0, 0.5f, 0, 2.3f}},
      {"AB", 4, 0, 0, {0, -0.1f, 0, -1.2f}}, {" A", 1, 0, 0, {2, 0}}, {"A B", 1, 0, 0, {-0.2f, 0, 2, 0}},
      {"A!B", 1, 0, 0, {-0.2f, 0, -0.2f, 0, 1.8f, 0}}, {"AB", 1, 0, 90, {0, -0.2f, 0, 1.3f}}, {"AB", 0, 0, 0, {}},
      {"", 1, 0, 0, {}}, {"AB B", 1, 1, 0, {-1.85f, 0, -0.35f, 0, 1.85f, 0}}, {"AB B", 3, 1, 0, {0, 1.9f, 0, 3.7f, 0, 5.9f}},
      {"AB B", 2, 1, 0, {-1.85f, 0, -3.15f, 0, -5.35f, 0}}, {"AB B", 4, 1, 0, {0, 1.9f, 0, 0.8f, 0, -1.4f}}}) {
    fontRegistry.direction = direction, setCentering(centered), setRotation(rotation), origins.clear();  // clang-format on
    layoutString(text, record);
    EXPECT_THAT(origins, near(expected)) << text << " in direction " << direction;
  }
  auto bounds = [](int slot, const char* text, int missing = -1) {
    std::vector<float> b(4, 99);  // min x, min y, max x, max y; a pair missing an output is not written
    float* out[4] = {&b[0], &b[1], &b[2], &b[3]};
    if (missing >= 0) out[missing] = nullptr;
    getStringBounds(slot, text, out[0], out[1], out[2], out[3]);
    return b;
  };
  EXPECT_THAT(bounds(0, ""), near({0, 10, 0, -10}));
  EXPECT_THAT(bounds(0, "AB"), near({-0.8f, -0.7f, 2, 0.9f}));      // a gap after every glyph
  EXPECT_THAT(bounds(0, " A!"), near({-0.5f, -0.5f, 5.2f, 0.9f}));  // a first space's own glyph gives min x
  for (int missing : {0, 1, 2, 3})
    EXPECT_THAT(bounds(0, "A", missing), near(missing < 2 ? std::vector<float>{99, 99, 0.9f, 0.9f}
                                                          : std::vector<float>{-0.8f, -0.5f, 99, 99}));
  EXPECT_THAT(bounds(7, "A"), near({99, 99, 99, 99}));
  fontRegistry.direction = 1, setCentering(0), setRotation(0), setSymbolSpace(0.5f), setSpaceSize(3);
  origins.clear(), layoutString("A B", record);
  EXPECT_THAT(origins, near({-0.2f, 0, 3.3f, 0}));
}

TEST_F(VectorFontTest, DrawsTexturedGlyphsOutlinesContoursAndLitPrismsFacingOutward) {
  enableOption(11);  // the cell -1..1 onto 0..1: A's x -0.8, 0.7 and y -0.5, 0.9
  for (const FeedbackItem& triangle : captureFeedback([] { drawSolidGlyph('A'); }))
    for (const FeedbackVertex& v : triangle.vertices)
      EXPECT_THAT((std::vector<float>{v.s, v.t}), near({v.x < 512 ? .1f : .85f, v.y < 384 ? .25f : .95f}));
  ASSERT_EQ(selectFont(1), 0);  // one closed loop per contour, drawn in font 0; font 1 stays current
  EXPECT_THAT(drawn(captureFeedback([] { drawOutlineGlyphInFont(0, 'O'); })),
              near({0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 0, 0, 0,
                    2, 2, 0, 3, 2, 0, 3, 2, 0, 3, 3, 0, 3, 3, 0, 2, 2, 0}));
  EXPECT_TRUE(captureFeedback([] { drawSolidGlyph3DInFont(256, 'A'); }).empty());  // no such font
  EXPECT_EQ(getCurrentFont() + selectFont(0), 1);
  enableOption(12), setContourColor(1, 0, 0, 1);
  using Case = std::tuple<GlyphDrawer, size_t, bool>;  // the outline; outlines and an edge at every vertex
  for (auto [draw, lines, lighting] :
       {Case{drawSolidGlyph, 4, false}, {drawSolidGlyph3D, 12, false}, {drawSolidGlyph3D, 12, true}}) {
    lighting ? glEnable(GL_LIGHTING) : glDisable(GL_LIGHTING);
    glColor4f(0, 0, 1, 1);
    std::vector<float> shown = drawn(linesOf(captureFeedback([d = draw] { d('A'); })), true), red, colour(4);
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    for (size_t i = 0; i < 2 * lines; i++) red.insert(red.end(), {1, 0, 0});
    EXPECT_EQ(shown, red);
    EXPECT_TRUE(colour == std::vector<float>({0, 0, 1, 1}) && glIsEnabled(GL_LIGHTING) == lighting);
  }
  const GLfloat fromRightFront[4] = {1, 0, 1, 0};
  glEnable(GL_LIGHTING), glEnable(GL_LIGHT0), glLightfv(GL_LIGHT0, GL_POSITION, fromRightFront);
  setSymbolDepth(0.5f);
  const auto polygons = polygonsOf(captureFeedback([] { drawSolidGlyph3D('V'); }));
  glDisable(GL_LIGHT0);
  EXPECT_EQ(polygons.size(), 8u);  // a triangle on each face, two on each of the three walls
  for (const FeedbackItem& polygon : polygons) {
    const std::vector<float> p = drawn({polygon}), lit = drawn({polygon}, true), centre = {0, -.2f, 1.25f};
    float outward = 0;  // the glyph winds clockwise seen from +z, so its prism counter-clockwise from outside
    for (int i = 0, j = 1, k = 2; i < 3; i++, j = (i + 1) % 3, k = (i + 2) % 3)
      outward += ((p[3 + j] - p[j]) * (p[6 + k] - p[k]) - (p[3 + k] - p[k]) * (p[6 + j] - p[j])) *
                 (p[i] + p[3 + i] + p[6 + i] - 3 * centre[i]);
    EXPECT_GT(outward, 0);
    // Normals (0, 0, 1) in front (z 1.5), (0, 0, -1) behind (z 1); a wall vertex its own position, unscaled,
    // but the pair closing the wall (the bottom edge) keeps the last vertex's, (0.5, -0.5). Default light.
    const float z = p[2] + p[5] + p[8], y = p[1] + p[4] + p[7];
    for (int k = 0; k < 3; k++) {
      const float facing = z > 4.49f ? 1 : z < 3.01f ? -1 : y < -1.49f ? 0.5f : p[3 * k];
      EXPECT_NEAR(lit[3 * k], 0.04f + 0.8f * std::max(0.0f, facing) / std::sqrt(2.0f), 1e-3);
    }
  }
}

TEST_F(VectorFontTest, ConsoleWrapsScrollsAndDrawsItsLinesInItsOwnFontWithABlinkingCursor) {
  auto grid = [&c = fontRegistry.console] {  // the cells ('.' empty), '@', the cursor's column and line
    std::string cells(reinterpret_cast<const char*>(c.consoleBuffer.get()), 12);
    std::replace(cells.begin(), cells.end(), '\0', '.');
    return cells + "@" + std::to_string(c.cursorX) + std::to_string(c.cursorY);
  };
  initConsole(4, 3);
  for (auto [text, expected] :
       {// clang-format off
           std::pair<std::string, std::string>{"abcde", "abcde.......@11"}, {"ab\ncd\n", "ab..cd......@02"},
           {"a\nb\nc\n", "b...c.......@02"}, {"abcdefghijkl", "efghijkl....@02"},
           {std::string("\t\r\x1f\0\x80\xff ~\x7f", 9), " ~\x7f.........@30"}}) {  // clang-format on
    clearConsole();
    EXPECT_EQ(consoleWrite(text.data(), int(text.size())), int(text.size()));
    EXPECT_EQ(grid(), expected);
  }
  initConsole(4, 3);  // a new console is empty, also where the old one's memory was
  EXPECT_EQ(grid(), "............@00");
  ASSERT_EQ(setConsoleFont(-1) + setConsoleFont(7) + setConsoleFont(256) + setConsoleFont(0), -3);
  consolePrint("A\nA"), selectFont(1);      // the current font, 1, has a wider A and no cursor glyph
  enableOption(30), setCursorBlinkRate(3);  // shown at once, then a new phase on every fourth draw
  const auto lines = drawn(captureFeedback([] { drawConsole(), drawStringInFont(0, "A"); }));
  glLoadIdentity();  // down two units a line, the matrix left there
  EXPECT_EQ(lines, drawn(captureFeedback([] {
              for (const char* line : {"A", "A_", "", "A"}) drawStringInFont(0, line), glTranslatef(0, -2, 0);
            })));
  std::string shown;  // the cursor in each further draw
  for (int draw = 0; draw < 8; draw++)
    shown += captureFeedback([] { glLoadIdentity(), drawConsole(); }).size() > 4 ? '1' : '0';
  EXPECT_EQ(shown, "11000011");
}

TEST_F(VectorFontTest, CompilerMakesALoadableFontAndTheShowcaseDrawsIt) {
  const std::string font = testFolder() + "/compiled.font", shot = testFolder() + "/shot.png";
  ASSERT_EQ(std::system((FONT_COMPILER " /usr/share/fonts/truetype/ocr-a/OCRABold.ttf " + font).c_str()), 0);
  ASSERT_EQ(loadFont(font.c_str()), 2);
  for (int code = '!'; code <= '~'; code++) EXPECT_NE(fontRegistry.fonts[2]->symbols[code], nullptr) << code;
  ASSERT_EQ(std::system((FONTSHOW " " + font + " --screenshot " + shot).c_str()), 0);
  EXPECT_GT(std::ifstream(shot, std::ios::ate).tellg(), 0);
}

}  // namespace
