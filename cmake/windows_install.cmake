# What `cmake --install` puts under the prefix in the Windows build, in two components
# that scripts/windows-package.sh makes into what a Windows user gets:
# - game: one folder to play from (the game reads its files from its working
#   directory): zarnok.exe, the DLLs it needs beside it (freeglut, SDL2, SDL2_mixer),
#   the textures, sounds\ and fonts\; the installer and the portable zip hold it;
# - development: the font library for Windows developers: its headers in
#   include\zarnok\font, the DLL in bin\ with its import library and the static
#   library in lib\, the CMake package (find_package(ZarnokFont): ZarnokFont::font,
#   ZarnokFont::font_static) in lib\cmake\ZarnokFont, and the three font tools in bin\
#   with the freeglut DLL that zarnok-fontshow and the examples need, and the example
#   programs' sources in examples\ (built against the unpacked zip with CMake).
# Each also holds the licences of what it is made of, in licenses\.
# Everything else (C and C++ runtime, OpenGL, GLU, the sound system) is Windows' own or
# linked in; see cmake/windows_cross_toolchain.cmake.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
include("${PROJECT_SOURCE_DIR}/cmake/font_development_files.cmake")
set(ZARNOK_PACKAGING_DIR "${CMAKE_BINARY_DIR}/packaging")

# The DLLs of the libraries scripts/windows-deps.sh built, found beside their import
# libraries' prefix.
get_target_property(_sdl_dll SDL2::SDL2 IMPORTED_LOCATION_RELEASE)
get_target_property(_mixer_dll SDL2_mixer::SDL2_mixer IMPORTED_LOCATION_RELEASE)
find_file(ZARNOK_FREEGLUT_DLL NAMES libfreeglut.dll freeglut.dll PATH_SUFFIXES bin REQUIRED)
set(ZARNOK_GAME_DLLS "${_sdl_dll}" "${_mixer_dll}" "${ZARNOK_FREEGLUT_DLL}")

# The licences, in licenses\ of each: ours, and those of the libraries in it (their
# Debian copyright files, which scripts/windows-deps.sh keeps beside them).
set(_licenses "${ZARNOK_WINDOWS_DEPS}/share/licenses")
foreach(_component game development)
  install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright" DESTINATION licenses RENAME zarnok.txt
    COMPONENT ${_component})
endforeach()
foreach(_library freeglut libsdl2 libsdl2-mixer)
  install(FILES "${_licenses}/${_library}" DESTINATION licenses RENAME ${_library}.txt COMPONENT game)
endforeach()
foreach(_library freeglut freetype libpng1.6 zlib)
  install(FILES "${_licenses}/${_library}" DESTINATION licenses RENAME ${_library}.txt COMPONENT development)
endforeach()

# --- The game, in one folder.
install(TARGETS zarnok RUNTIME DESTINATION . COMPONENT game)
install(FILES ${ZARNOK_GAME_DLLS} DESTINATION . COMPONENT game)
install(DIRECTORY "${ZARNOK_ASSET_DIR}/" DESTINATION . COMPONENT game)

# --- The font library and its tools.
install(TARGETS zarnok_font_shared zarnok_font EXPORT ZarnokFontTargets
  RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT development
  ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT development)
zarnok_install_font_development_files()
install(TARGETS font_compiler bitmap_font_maker fontshow RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}"
  COMPONENT development)
install(FILES "${ZARNOK_FREEGLUT_DLL}" DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT development)
zarnok_install_font_examples(examples development)
