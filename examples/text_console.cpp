// text_console.cpp -- the Zarnok! font library's text console in a GLUT window: a grid of
// characters that wraps and scrolls like a terminal, drawn in a vector font, with a
// blinking cursor. Type into it; Esc quits.
//
//   text_console FONT.glf                        a window
//   text_console FONT.glf --screenshot OUT.png   draws one frame into OUT.png and exits
//
// Build: c++ text_console.cpp $(pkg-config --cflags --libs zarnok-font glut gl libpng)
#include <GL/freeglut.h>
#include <font/font_library.h>
#include <font/font_lifecycle.h>
#include <font/text_console.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const int width = 600, height = 320, columns = 40, lines = 12;
static const char* screenshot = nullptr;

// Writes the frame just drawn (still in the back buffer) to a PNG file.
static bool writePng(const char* path) {
  static unsigned char pixels[width * height * 3];
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  png_image image{nullptr, PNG_IMAGE_VERSION, width, height, PNG_FORMAT_RGB, 0, 0, 0, {}};
  return png_image_write_to_file(&image, path, 0, pixels, -width * 3, nullptr);  // bottom row first
}

static void display() {
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1, -1, 0);  // the first glyph's cell: x from 0 to 2, y from -2 to 0
  glColor3f(0.85f, 0.95f, 0.85f);
  drawConsole();  // line after line, 2 units apart, downward
  if (screenshot) std::exit(writePng(screenshot) ? 0 : 1);
  glutSwapBuffers();
}

static void keyboard(unsigned char key, int, int) {
  if (key == 27) {
    shutdownFonts();
    std::exit(0);
  }
  consolePutChar(key == '\r' ? '\n' : char(key));  // other control bytes are dropped
}

static void blink(int) {  // the cursor blinks in draws of the console: draw 20 times a second
  glutPostRedisplay();
  glutTimerFunc(50, blink, 0);
}

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  if (argc == 4 && std::strcmp(argv[2], "--screenshot") == 0) screenshot = argv[3];
  if (argc != 2 && !screenshot) {
    std::fprintf(stderr, "usage: text_console FONT.glf [--screenshot OUT.png]\n");
    return 2;
  }
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
  glutInitWindowSize(width, height);
  glutCreateWindow("Text console");

  initFonts();  // also makes a 40 x 20 console with a blinking cursor
  const int font = loadFont(argv[1]);
  if (font < 0) {
    std::fprintf(stderr, "text_console: cannot read %s\n", argv[1]);
    return 1;
  }
  setSpaceSize(1.2f);  // the advance of a space, in font units
  initConsole(columns, lines);
  setConsoleFont(font);
  setCursorBlinkRate(10);  // the cursor changes phase every eleventh draw
  consolePrint(
      "Zarnok! text console, 40 x 12.\n\n"
      "A line longer than forty characters wraps at the right edge; "
      "a full console scrolls up.\n\nType here; Esc quits.\n> ");

  glMatrixMode(GL_PROJECTION);
  glOrtho(-1.5, 46.5, -24.5, 1, -1, 1);  // as many units a pixel across as up
  glClearColor(0.05f, 0.12f, 0.08f, 1);
  glutDisplayFunc(display);
  glutKeyboardFunc(keyboard);
  glutTimerFunc(50, blink, 0);
  glutMainLoop();
}
