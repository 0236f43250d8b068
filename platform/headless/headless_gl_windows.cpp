// headless_gl_windows.cpp -- the Windows half of the GL context without a display: a hidden
// window of the asked size (it is never shown) with an 8-bit RGBA, 24-bit depth, double-
// buffered pixel format and a WGL context on it. Under Wine the window needs an X display
// (the tests' private Xvfb) and its GL is Mesa's llvmpipe, as on Linux.
#include <windows.h>

#include "platform/headless/headless_gl.h"

// The first double-buffered RGBA format with 8 bits a colour and a 24-bit depth buffer, or 0.
static int eightBitFormat(HDC dc) {
  PIXELFORMATDESCRIPTOR format{};
  const int count = DescribePixelFormat(dc, 1, sizeof format, &format);
  const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  for (int index = 1; index <= count; index++) {
    DescribePixelFormat(dc, index, sizeof format, &format);
    if ((format.dwFlags & needed) == needed && format.iPixelType == PFD_TYPE_RGBA && format.cRedBits == 8 &&
        format.cGreenBits == 8 && format.cBlueBits == 8 && format.cDepthBits >= 24)
      return index;
  }
  return 0;
}

std::string makeHeadlessGlContext(int width, int height) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "zarnok_headless_gl";
  if (!RegisterClassA(&windowClass)) return "RegisterClass failed";
  // A popup window has no frame: its client area is the whole width x height.
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, width, height, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  if (!window) return "no window";
  HDC dc = GetDC(window);
  const int format = eightBitFormat(dc);
  PIXELFORMATDESCRIPTOR described{};
  DescribePixelFormat(dc, format, sizeof described, &described);
  if (!format || !SetPixelFormat(dc, format, &described)) return "no 8-bit pixel format";
  HGLRC context = wglCreateContext(dc);
  if (!context || !wglMakeCurrent(dc, context)) return "no context";
  return "";
}
