// headless_gl.h -- a GL context without a display, for the benchmarks and the tests: an
// 8-bit RGBA surface with a 24-bit depth buffer, from Mesa's EGL surfaceless platform on
// Linux (headless_gl_linux.cpp) and a hidden WGL window on Windows (headless_gl_windows.cpp).
// With an 8-bit config the pictures are the same as in an X window.
#pragma once

#include <string>

// Makes a width x height context current; "" on success, else what failed.
std::string makeHeadlessGlContext(int width, int height);  // once per process
