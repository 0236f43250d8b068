// vector_styles.cpp -- one word in each vector style of the Zarnok! font library, in a
// GLUT window: flat filled glyphs, outlines, wireframe prisms and lit extruded solids.
//
//   vector_styles FONT.glf                        a window; Esc quits
//   vector_styles FONT.glf --screenshot OUT.png   draws one frame into OUT.png and exits
//
// Build: c++ vector_styles.cpp $(pkg-config --cflags --libs zarnok-font glut gl libpng)
#include <GL/freeglut.h>
#include <font/extruded_text.h>
#include <font/font_library.h>
#include <font/font_lifecycle.h>
#include <font/outline_text.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const int width = 640, height = 480;
static const char* screenshot = nullptr;

// Writes the frame just drawn (still in the back buffer) to a PNG file.
static bool writePng(const char* path) {
  static unsigned char pixels[width * height * 3];
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  png_image image{nullptr, PNG_IMAGE_VERSION, width, height, PNG_FORMAT_RGB, 0, 0, 0, {}};
  return png_image_write_to_file(&image, path, 0, pixels, -width * 3, nullptr);  // bottom row first
}

// One word on a row, centred; the prisms are turned so that their depth shows.
static void drawRow(float y, float red, float green, float blue, bool prism, void (*draw)(const char*),
                    const char* word) {
  glColor3f(red, green, blue);
  glPushMatrix();
  glTranslatef(0, y, 0);
  if (prism) {
    glRotatef(-30, 1, 0, 0);
    glRotatef(15, 0, 1, 0);
    glTranslatef(0, 0, -(1 + getSymbolDepth() / 2));  // prisms stand between z = 1 and 1 + depth
  }
  draw(word);
  glPopMatrix();
}

static void display() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawRow(3.9f, 1.0f, 0.8f, 0.2f, false, drawString, "Flat");
  drawRow(1.3f, 0.3f, 0.9f, 1.0f, false, drawOutlineString, "Outline");
  drawRow(-1.3f, 0.4f, 1.0f, 0.4f, true, drawWireString3D, "Wireframe");
  glEnable(GL_LIGHTING);  // lit solids: the colour is the material, GL normalises the normals
  glEnable(GL_DEPTH_TEST);
  drawRow(-3.9f, 1.0f, 0.55f, 0.2f, true, drawSolidString3D, "Solid");
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  if (screenshot) std::exit(writePng(screenshot) ? 0 : 1);
  glutSwapBuffers();
}

static void keyboard(unsigned char key, int, int) {
  if (key != 27) return;
  shutdownFonts();
  std::exit(0);
}

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  if (argc == 4 && std::strcmp(argv[2], "--screenshot") == 0) screenshot = argv[3];
  if (argc != 2 && !screenshot) {
    std::fprintf(stderr, "usage: vector_styles FONT.glf [--screenshot OUT.png]\n");
    return 2;
  }
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(width, height);
  glutCreateWindow("Vector font styles");
  initFonts();                  // needs the GL context the window made current
  if (loadFont(argv[1]) < 0) {  // the loaded font becomes the current one
    std::fprintf(stderr, "vector_styles: cannot read %s\n", argv[1]);
    return 1;
  }
  setCentering(1);       // each string centred on its origin
  setSymbolDepth(0.4f);  // deeper prisms than the default 0.2
  glMatrixMode(GL_PROJECTION);
  glOrtho(-16, 16, -12, 12, -20, 20);  // 32 x 24 units over 640 x 480 pixels
  glMatrixMode(GL_MODELVIEW);
  glScalef(2.2f, 2.2f, 2.2f);  // font units: a glyph cell is 2 units high
  glEnable(GL_LIGHT0);         // from the viewer
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_NORMALIZE);
  glClearColor(0.08f, 0.09f, 0.14f, 1);
  glutDisplayFunc(display);
  glutKeyboardFunc(keyboard);
  glutMainLoop();
}
