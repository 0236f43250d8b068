// headless_gl.h -- the benchmarks' GL context without a display: Mesa's EGL
// surfaceless platform, one pbuffer with an 8-bit RGBA config and a 24-bit depth.
#pragma once

#include <string>

// Makes a width x height pbuffer context current; "" on success, else what failed.
std::string makeHeadlessGlContext(int width, int height);  // once per process
