// glut_window.h -- test support: a real GLUT window (on the test's private Xvfb) for
// tests that call game code using GLUT, such as the callbacks.
#pragma once

#include <string>

// Initialises GLUT and creates one 1024 x 768 double-buffered RGB window with depth,
// once per process, and makes it current. Returns "" on success, else the reason.
std::string ensureGlutWindow();  // create once, make current
