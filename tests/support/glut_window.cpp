// glut_window.cpp -- the one GLUT window of a test process.
#include "tests/support/glut_window.h"

#include <GL/freeglut.h>

#include <cstdlib>

static int windowId = 0;

std::string ensureGlutWindow() {
  if (windowId == 0) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return "DISPLAY is not set: run the test under tests/support/with-xvfb";
    int argc = 1;
    char name[] = "zarnok-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutInitWindowSize(1024, 768);
    windowId = glutCreateWindow("zarnok-test");
  }
  glutSetWindow(windowId);
  return "";
}
