// font_export.h -- the one mark on every call the font library exports. The shared
// library is built with every other symbol hidden, so what it exports is exactly the
// calls (and the registry) marked here; the static library exports as usual.
// - Linux and other ELF systems: default visibility.
// - Windows: dllexport while the DLL is built (ZARNOK_FONT_BUILDING_DLL), dllimport
//   for a program that links the DLL (ZARNOK_FONT_DLL, which the library's CMake
//   package sets on its shared target), nothing for the static library.
#pragma once

/// \file
/// The export mark of the library's calls.

/// \def ZARNOK_FONT_API
/// Marks a call (or the registry) as part of the library's interface: exported by the
/// shared library, imported by a program that links the Windows DLL.

#if defined(_WIN32)
#if defined(ZARNOK_FONT_BUILDING_DLL)
#define ZARNOK_FONT_API __declspec(dllexport)
#elif defined(ZARNOK_FONT_DLL)
#define ZARNOK_FONT_API __declspec(dllimport)
#else
#define ZARNOK_FONT_API
#endif
#else
#define ZARNOK_FONT_API __attribute__((visibility("default")))
#endif
