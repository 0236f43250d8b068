# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the posix-thread GCC),
# finding libraries only in MinGW's own tree and in the prefix of libraries that
# scripts/windows-deps.sh cross-built (ZARNOK_WINDOWS_DEPS, or the same name in the
# environment). Programs built here run through Wine, so ctest can run the tests.
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/windows_cross_toolchain.cmake -DZARNOK_WINDOWS_DEPS=PREFIX
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZARNOK_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ZARNOK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARNOK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARNOK_MINGW_TRIPLET}-windres)

# The toolchain file is read again by every try_compile: pass the prefix on to it.
if(NOT ZARNOK_WINDOWS_DEPS AND DEFINED ENV{ZARNOK_WINDOWS_DEPS})
  set(ZARNOK_WINDOWS_DEPS "$ENV{ZARNOK_WINDOWS_DEPS}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZARNOK_WINDOWS_DEPS)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZARNOK_MINGW_TRIPLET})  # after any given on the command line
if(ZARNOK_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH "${ZARNOK_WINDOWS_DEPS}")
endif()
# pkg-config files of the cross-built libraries and MinGW's, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${ZARNOK_WINDOWS_DEPS}/lib/pkgconfig:/usr/${ZARNOK_MINGW_TRIPLET}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ZLIB_USE_STATIC_LIBS ON)  # MinGW's zlib linked in, not zlib1.dll beside
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)  # build tools are the build machine's
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes go into each program and DLL, so that nothing beyond
# Windows' own DLLs and the libraries shipped beside the game is needed.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
