// headless_gl.h -- a GL context without a display, for the benchmarks and the tests:
// Mesa's EGL surfaceless platform, one pbuffer with an 8-bit RGBA config and a 24-bit
// depth buffer. With an 8-bit config the pictures are the same as in an X window.
#pragma once

#include <string>

// Makes a width x height pbuffer context current; "" on success, else what failed.
std::string makeHeadlessGlContext(int width, int height);  // once per process
