// bitmap_text.cpp -- a bitmap font of the Zarnok! font library in a GLUT window, over a
// coloured background: plain (each glyph an opaque quad of its part of the font's
// picture) and masked (the glyphs alone, their black background left out).
//
//   bitmap_text FONT.bitmap_font                        a window; Esc quits
//   bitmap_text FONT.bitmap_font --screenshot OUT.png   draws one frame into OUT.png and exits
//
// Build: c++ bitmap_text.cpp $(pkg-config --cflags --libs zarnok-font glut gl libpng)
#include <GL/freeglut.h>
#include <font/bitmap_font.h>
#include <font/font_lifecycle.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const int width = 640, height = 240;
static const char* screenshot = nullptr;

// Writes the frame just drawn (still in the back buffer) to a PNG file.
static bool writePng(const char* path) {
  static unsigned char pixels[width * height * 3];
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  png_image image{nullptr, PNG_IMAGE_VERSION, width, height, PNG_FORMAT_RGB, 0, 0, 0, {}};
  return png_image_write_to_file(&image, path, 0, pixels, -width * 3, nullptr);  // bottom row first
}

// One line of text centred at height y; the font's picture is 512 pixels wide, and a
// glyph is as many model units wide as its share of the picture: scale by 512 x 1.25.
static void drawLine(float y, void (*draw)(const char*), const char* text) {
  glPushMatrix();
  glTranslatef(width / 2.0f, y, 0);
  glScalef(640, 640, 1);
  beginBitmapText();  // turns 2D texturing on and binds the current font's picture
  draw(text);
  endBitmapText();  // texturing back as it was
  glPopMatrix();
}

static void display() {
  glBegin(GL_QUADS);  // the background: blue at the left, red at the right
  glColor3f(0.1f, 0.3f, 0.7f);
  glVertex2f(0, 0);
  glColor3f(0.8f, 0.2f, 0.3f);
  glVertex2f(width, 0);
  glVertex2f(width, height);
  glColor3f(0.1f, 0.3f, 0.7f);
  glVertex2f(0, height);
  glEnd();

  glColor3f(1, 1, 1);  // texels times the colour: the glyphs as the picture has them
  drawLine(140, drawBitmapString, "Plain: glyph quads");
  glEnable(GL_BLEND);  // the masked passes set their own blend functions
  glColor3f(1, 0.85f, 0.3f);
  drawLine(50, drawMaskedBitmapString, "Masked: glyphs only");
  glDisable(GL_BLEND);
  if (screenshot) std::exit(writePng(screenshot) ? 0 : 1);
  glutSwapBuffers();
}

static void keyboard(unsigned char key, int, int) {
  if (key != 27) return;
  shutdownFonts();  // frees the textures and display lists of every bitmap font
  std::exit(0);
}

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  if (argc == 4 && std::strcmp(argv[2], "--screenshot") == 0) screenshot = argv[3];
  if (argc != 2 && !screenshot) {
    std::fprintf(stderr, "usage: bitmap_text FONT.bitmap_font [--screenshot OUT.png]\n");
    return 2;
  }
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
  glutInitWindowSize(width, height);
  glutCreateWindow("Bitmap font");

  initFonts();
  if (loadBitmapFont(argv[1]) < 0) {  // makes textures and lists: needs the GL context
    std::fprintf(stderr, "bitmap_text: cannot read %s\n", argv[1]);
    return 1;
  }
  setBitmapCentering(1);  // strings centred on their origin

  glMatrixMode(GL_PROJECTION);
  glOrtho(0, width, 0, height, -1, 1);  // window pixels, y up
  glMatrixMode(GL_MODELVIEW);
  glutDisplayFunc(display);
  glutKeyboardFunc(keyboard);
  glutMainLoop();
}
