// fontshow.cpp -- a showcase of the font library, and an example of its use: one
// vector font drawn in every style side by side (flat, outline, wireframe prism, lit
// extruded solid, contouring off and on), the four writing directions, centring and
// rotation, and a text console being typed into, with its blinking cursor; and a
// bitmap font drawn plainly and masked over a textured background.
//
//   zarnok-fontshow FONT                          a window; type into the console, Esc quits
//   zarnok-fontshow FONT --screenshot SHOT.png    draws one frame, writes it as PNG, exits
//   ... --bitmap-font BITMAP_FONT                 the bitmap font to show (by default
//                                                 sans_bold.bitmap_font beside FONT)
//
// Everything is drawn in window pixels (an orthographic view, y up). Glyphs are laid
// out in font units, a glyph cell being 2 units high, so each panel scales them.
#include <GL/freeglut.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "font/bitmap_font.h"
#include "font/extruded_text.h"
#include "font/font_library.h"
#include "font/outline_text.h"
#include "font/text_console.h"

namespace {

constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 768;
constexpr int kHeadingHeight = 48;
constexpr int kColumns = 4, kRows = 3;  // the grid of panels below the heading
constexpr int kCellWidth = kWindowWidth / kColumns;
constexpr int kCellHeight = (kWindowHeight - kHeadingHeight) / kRows;
constexpr int kTickMs = 100;  // one typed character and one redraw per tick

const char kSample[] = "Zarnok!";
const char kTypedText[] =
    "Typed into a 40 x 8 text console.\n"
    "A line longer than forty characters wraps at the right edge; a full console scrolls up.\n"
    "The cursor blinks in console draws.\n"
    "Type here yourself; Esc quits.\n"
    "> ";

const char* screenshotPath = nullptr;
int shownFont = -1;     // the registry slot of the font on show
size_t typedSoFar = 0;  // characters of kTypedText typed into the console
float sway = 30;        // degrees the prisms are turned about the vertical axis

// The layout settings every panel starts from; a panel changes what it shows off.
void resetTextSettings() {
  setDirection(DIRECTION_RIGHT);
  setCentering(1);
  setRotation(0);
  disableOption(OPTION_CONTOURING);
}

// Scales font units so that text fits width pixels, at most size pixels per unit.
void scaleToFit(const char* text, float width, float size) {
  float minX = 0, minY = 0, maxX = 0, maxY = 0;
  getCurrentStringBounds(text, &minX, &minY, &maxX, &maxY);
  const float scale = std::fmin(size, width / (maxX - minX));
  glScalef(scale, scale, scale);
}

// A prism stands between z = 1 and z = 1 + depth; turn it about its own middle.
void turnPrism() {
  glRotatef(-25, 1, 0, 0);
  glRotatef(sway, 0, 1, 0);
  glTranslatef(0, 0, -(1 + getSymbolDepth() / 2));
}

void drawFlat() {
  glColor3f(1.0f, 0.8f, 0.2f);
  scaleToFit(kSample, 200, 24);
  drawString(kSample);
}

void drawOutline() {
  glColor3f(0.3f, 0.9f, 1.0f);
  scaleToFit(kSample, 200, 24);
  drawOutlineString(kSample);
}

void drawWireframe() {
  glColor3f(0.4f, 1.0f, 0.4f);
  scaleToFit(kSample, 200, 24);
  turnPrism();
  drawWireString3D(kSample);
}

// Lit solids: the colour becomes the material (GL_COLOR_MATERIAL), and the side
// walls' normals, which are glyph positions rather than unit vectors, are
// normalised by GL. The depth test sorts the faces; the polygon offset keeps a
// contour drawn over the solid in front of its faces.
void drawExtruded(bool contoured) {
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glColor3f(1.0f, 0.55f, 0.2f);
  if (contoured) {
    enableOption(OPTION_CONTOURING);
    setContourColor(1, 1, 0.6f, 1);  // drawn unlit over the lit solid
  }
  scaleToFit(kSample, 200, 24);
  turnPrism();
  drawSolidString3D(kSample);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
}

void drawExtrudedLit() { drawExtruded(false); }
void drawExtrudedContoured() { drawExtruded(true); }

void drawFlatContoured() {
  enableOption(OPTION_CONTOURING);
  setContourColor(1, 1, 1, 1);
  glColor3f(0.7f, 0.1f, 0.3f);
  scaleToFit(kSample, 200, 24);
  drawString(kSample);
}

void drawOrigin() {
  glPointSize(5);
  glBegin(GL_POINTS);
  glVertex2f(0, 0);
  glEnd();
}

// Each word starts one glyph cell away from the middle and runs outward.
void drawDirections() {
  glColor3f(1, 1, 1);
  drawOrigin();
  glScalef(10, 10, 10);
  setCentering(0);
  const struct {
    int32_t direction;
    const char* word;
    float dx, dy;
  } words[] = {{DIRECTION_RIGHT, "RIGHT", 2, 0},
               {DIRECTION_LEFT, "LEFT", -2, 0},
               {DIRECTION_UP, "UP", 0, 2},
               {DIRECTION_DOWN, "DOWN", 0, -2}};
  for (const auto& w : words) {
    glColor3f(0.5f + 0.12f * w.direction, 0.9f - 0.15f * w.direction, 0.6f);
    setDirection(w.direction);
    glPushMatrix();
    glTranslatef(w.dx, w.dy, 0);
    drawString(w.word);
    glPopMatrix();
  }
}

// Above: a string centred on its origin (the dot). Below: one string rotated about
// its origin in 30-degree steps; two leading spaces keep the words off the origin.
void drawCentredRotated() {
  glPushMatrix();
  glTranslatef(0, 55, 0);
  glColor3f(0.5f, 0.7f, 1.0f);
  glPushMatrix();
  glScalef(12, 12, 12);
  drawString("centred");
  glPopMatrix();
  glColor3f(1, 1, 1);
  drawOrigin();
  glPopMatrix();

  glTranslatef(-95, -75, 0);
  glColor3f(1, 1, 1);
  drawOrigin();
  glScalef(11, 11, 11);
  setCentering(0);
  for (int step = 0; step < 4; step++) {
    glColor3f(1.0f, 0.5f + 0.15f * step, 0.3f + 0.2f * step);
    setRotation(30.0f * step + sway - 30);
    drawString("  rotated");
  }
}

// The console draws its lines downward from the top-left corner, left-aligned.
void drawTextConsole() {
  glColor3f(0.85f, 0.95f, 0.85f);
  glTranslatef(-kCellWidth + 24, kCellHeight / 2 - 24, 0);
  glScalef(11, 11, 11);
  setCentering(0);
  drawConsole();
}

// ---------------------------------------------------------------------------------
// Bitmap fonts: the glyph sheet's text drawn over a textured background, plainly and
// masked. Plain glyphs are quads of their share of the picture, black around each
// glyph, drawn opaque or added to what is below; masked glyphs are opaque and their
// black background is left out.

const char* bitmapFontPath = nullptr;  // --bitmap-font
int shownBitmapFont = -1;              // its bitmap-font slot, -1 if it did not load
GLuint backgroundTexture = 0;

// Loads the bitmap font (the named one, else the one beside the vector font) and makes
// a checkerboard texture to show it on. Without the font the two panels stay empty.
void setUpBitmapFont(const char* vectorFontPath) {
  std::string path;
  if (bitmapFontPath) {
    path = bitmapFontPath;
  } else {
    const std::string vector = vectorFontPath;
    const size_t slash = vector.find_last_of('/');
    path =
        (slash == std::string::npos ? std::string() : vector.substr(0, slash + 1)) + "sans_bold.bitmap_font";
  }
  shownBitmapFont = loadBitmapFont(path.c_str());
  if (shownBitmapFont < 0)
    std::fprintf(stderr, "zarnok-fontshow: no bitmap font %s; its panels stay empty\n", path.c_str());

  uint8_t board[16 * 16 * 3];
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 16; x++) {
      uint8_t* p = &board[(y * 16 + x) * 3];
      const bool dark = ((x / 4) + (y / 4)) % 2;
      p[0] = dark ? 40 : 70;
      p[1] = dark ? 90 : 140;
      p[2] = dark ? 120 : 190;
    }
  glGenTextures(1, &backgroundTexture);
  glBindTexture(GL_TEXTURE_2D, backgroundTexture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 16, 16, 0, GL_RGB, GL_UNSIGNED_BYTE, board);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void drawBackground(float width, float height) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, backgroundTexture);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(-width / 2, -height / 2);
  glTexCoord2f(width / 64, 0);
  glVertex2f(width / 2, -height / 2);
  glTexCoord2f(width / 64, height / 64);
  glVertex2f(width / 2, height / 2);
  glTexCoord2f(0, height / 64);
  glVertex2f(-width / 2, height / 2);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

// Draws one centred line of bitmap text, scaled to width pixels, at height y.
void drawBitmapLine(const char* text, float y, float width, void (*draw)(const char*)) {
  float length = 0;
  for (const char* c = text; *c; c++)
    length += fontRegistry.bitmapFonts[shownBitmapFont].widths[uint8_t(*c)] + glyphSpacing;
  glPushMatrix();
  glTranslatef(0, y, 0);
  glScalef(width / length, width / length, 1);
  setBitmapCentering(1);
  beginBitmapText();
  draw(text);
  endBitmapText();
  glPopMatrix();
}

void drawBitmapPlain() {
  drawBackground(230, 160);
  if (shownBitmapFont < 0) return;
  selectBitmapFont(shownBitmapFont);
  glColor3f(1, 1, 1);  // opaque quads: the glyphs' black cells hide the background
  drawBitmapLine("Zarnok!", 15, 200, drawBitmapString);
  glEnable(GL_BLEND);  // added: the background shows through, tinted by the glyphs
  glBlendFunc(GL_ONE, GL_ONE);
  glColor3f(1.0f, 0.7f, 0.3f);
  drawBitmapLine("Zarnok!", -55, 200, drawBitmapString);
  glDisable(GL_BLEND);
}

void drawBitmapMasked() {
  drawBackground(230, 160);
  if (shownBitmapFont < 0) return;
  selectBitmapFont(shownBitmapFont);
  glEnable(GL_BLEND);  // the masked passes set their own blend functions
  glColor3f(1, 1, 1);
  drawBitmapLine("Zarnok!", 15, 200, drawMaskedBitmapString);
  glColor3f(1.0f, 0.7f, 0.3f);
  drawBitmapLine("\xC0 bient\xF4t \xE9t\xE9", -55, 200, drawMaskedBitmapString);
  glDisable(GL_BLEND);
}

struct Panel {
  const char* caption;
  int column, row, columns;  // cells of the grid, row 0 at the top
  void (*draw)();            // draws about the middle of its area, in pixels
};

const Panel kPanels[] = {
    {"flat", 0, 0, 1, drawFlat},
    {"outline", 1, 0, 1, drawOutline},
    {"wireframe prism", 2, 0, 1, drawWireframe},
    {"extruded, lit", 3, 0, 1, drawExtrudedLit},
    {"flat, contoured", 0, 1, 1, drawFlatContoured},
    {"extruded, contoured", 1, 1, 1, drawExtrudedContoured},
    {"four directions", 2, 1, 1, drawDirections},
    {"centring and rotation", 3, 1, 1, drawCentredRotated},
    {"text console", 0, 2, 2, drawTextConsole},
    {"bitmap font, plain", 2, 2, 1, drawBitmapPlain},
    {"bitmap font, masked", 3, 2, 1, drawBitmapMasked},
};

void drawCaption(float x, float y, const char* text) {
  resetTextSettings();
  setCentering(0);
  glColor3f(0.6f, 0.65f, 0.75f);
  glPushMatrix();
  glTranslatef(x, y, 0);
  glScalef(7, 7, 7);
  drawString(text);
  glPopMatrix();
}

void drawPanel(const Panel& panel) {
  const float left = float(panel.column * kCellWidth);
  const float top = float(kWindowHeight - kHeadingHeight - panel.row * kCellHeight);
  const float width = float(panel.columns * kCellWidth), height = float(kCellHeight);

  glColor3f(0.25f, 0.28f, 0.36f);
  glBegin(GL_LINE_LOOP);
  glVertex2f(left + 4, top - 4);
  glVertex2f(left + width - 4, top - 4);
  glVertex2f(left + width - 4, top - height + 4);
  glVertex2f(left + 4, top - height + 4);
  glEnd();
  drawCaption(left + 18, top - height + 20, panel.caption);

  resetTextSettings();
  glPushMatrix();
  glTranslatef(left + width / 2, top - height / 2 + 8, 0);
  panel.draw();
  glPopMatrix();
}

bool writeScreenshot(const char* path) {
  const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
  std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGB;
  // A negative row stride: the rows were read bottom first, the file holds them top first.
  return png_image_write_to_file(&image, path, 0, pixels.data(), -width * 3, nullptr) != 0;
}

void display() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  char heading[160];
  std::snprintf(heading, sizeof heading, "fontshow: %s", fontRegistry.fonts[shownFont]->name);
  drawCaption(18, kWindowHeight - 30, heading);
  for (const Panel& panel : kPanels) drawPanel(panel);

  if (screenshotPath) {  // read the frame before the swap hands the buffer over
    const bool written = writeScreenshot(screenshotPath);
    if (!written) std::fprintf(stderr, "zarnok-fontshow: cannot write %s\n", screenshotPath);
    std::exit(written ? 0 : 1);
  }
  glutSwapBuffers();
}

void reshape(int width, int height) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kWindowWidth, 0, kWindowHeight, -1000, 1000);
  glMatrixMode(GL_MODELVIEW);
}

void keyboard(unsigned char key, int, int) {
  if (key == 27) std::exit(0);
  consolePutChar(key == '\r' ? '\n' : char(key));
  glutPostRedisplay();
}

// Types the next character of the demo text (from the start again once it is done)
// and turns the prisms a little.
void tick(int) {
  consolePutChar(kTypedText[typedSoFar]);
  typedSoFar = (typedSoFar + 1) % (sizeof kTypedText - 1);
  sway = 30 * std::cos(glutGet(GLUT_ELAPSED_TIME) / 1500.0f);
  glutPostRedisplay();
  glutTimerFunc(kTickMs, tick, 0);
}

// The library's settings and the console as this program uses them.
void setUpText(int font) {
  setDirection(DIRECTION_RIGHT);  // the registry starts with no writing direction
  setSymbolDepth(0.5f);           // deeper prisms than the default 0.2
  setSpaceSize(1.2f);             // a space about as wide as a glyph of this font
  initConsole(40, 8);
  setConsoleFont(font);
  enableOption(OPTION_CONSOLE_CURSOR);
  setCursorBlinkRate(4);  // the cursor changes phase every fifth draw
}

void setUpLighting() {
  const GLfloat fromUpperLeft[4] = {-0.5f, 0.6f, 1.0f, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, fromUpperLeft);
  glEnable(GL_LIGHT0);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_NORMALIZE);
  glPolygonOffset(1, 1);
}

}  // namespace

// A wrong command line: one line on standard error, status 2.
int usage(const std::string& problem) {
  std::fprintf(stderr, "zarnok-fontshow: %s (see --help)\n", problem.c_str());
  return 2;
}

int main(int argc, char** argv) {
  // The command line is read before GLUT starts, so that --help and mistakes need no display.
  const char* fontPath = nullptr;
  for (int i = 1; i < argc; i++) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      std::printf(
          "usage: zarnok-fontshow FONT [--screenshot SHOT.png] [--bitmap-font BITMAP_FONT]\n"
          "Shows the vector font FONT in every drawing style, a text console to type into and a bitmap\n"
          "font, in a window (Esc quits).\n"
          "  --screenshot SHOT.png      draw one frame, write it as PNG and exit\n"
          "  --bitmap-font BITMAP_FONT  the bitmap font to show (sans_bold.bitmap_font beside FONT)\n");
      return 0;
    } else if ((arg == "--screenshot" || arg == "--bitmap-font") && i + 1 >= argc) {
      return usage("missing value after " + arg);
    } else if (arg == "--screenshot") {
      screenshotPath = argv[++i];
    } else if (arg == "--bitmap-font") {
      bitmapFontPath = argv[++i];
    } else if (arg[0] == '-') {
      return usage("unknown option " + arg);
    } else if (fontPath) {
      return usage("only one FONT can be shown");
    } else {
      fontPath = argv[i];
    }
  }
  if (!fontPath) return usage("give the FONT to show");
  glutInit(&argc, argv);

  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(kWindowWidth, kWindowHeight);
  glutCreateWindow("fontshow");

  shownFont = loadFont(fontPath);
  if (shownFont < 0) {
    std::fprintf(stderr, "zarnok-fontshow: cannot read the font %s\n", fontPath);
    return 1;
  }
  setUpText(shownFont);
  setUpLighting();
  setUpBitmapFont(fontPath);
  glClearColor(0.08f, 0.09f, 0.14f, 1);

  glutDisplayFunc(display);
  glutReshapeFunc(reshape);
  glutKeyboardFunc(keyboard);
  if (screenshotPath) {
    consolePrint(kTypedText);  // the whole demo text at once for the one frame
  } else {
    glutTimerFunc(kTickMs, tick, 0);
  }
  glutMainLoop();
  return 0;
}
