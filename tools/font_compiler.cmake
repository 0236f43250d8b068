# The font compiler (zarnok-font-compiler) and the game's vector font it makes into the
# asset folder from OCR-A Bold (Debian's fonts-ocr-a, public domain).
pkg_check_modules(FONT_COMPILER_FREETYPE REQUIRED IMPORTED_TARGET freetype2)
add_executable(font_compiler "${CMAKE_CURRENT_LIST_DIR}/font_compiler.cpp")
target_link_libraries(font_compiler PRIVATE PkgConfig::FONT_COMPILER_FREETYPE OpenGL::GLU)
set_target_properties(font_compiler PROPERTIES OUTPUT_NAME zarnok-font-compiler)

if(ZARNOK_MAKE_ASSETS)  # the Windows build takes the Linux build's
  set(ZARNOK_GAME_FONT_SOURCE "/usr/share/fonts/truetype/ocr-a/OCRABold.ttf" CACHE INTERNAL "source of the game font")
  if(NOT EXISTS "${ZARNOK_GAME_FONT_SOURCE}")
    message(FATAL_ERROR "${ZARNOK_GAME_FONT_SOURCE} is missing: apt-get install fonts-ocr-a")
  endif()
  set(ZARNOK_GAME_FONT "${ZARNOK_ASSET_DIR}/fonts/techno1.glf")
  add_custom_command(
    OUTPUT "${ZARNOK_GAME_FONT}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${ZARNOK_ASSET_DIR}/fonts"
    COMMAND font_compiler --height 2 --condense 1 --name "Zarnok techno" "${ZARNOK_GAME_FONT_SOURCE}"
            "${ZARNOK_GAME_FONT}"
    DEPENDS font_compiler "${ZARNOK_GAME_FONT_SOURCE}"
    COMMENT "Compiling the game's vector font")
  add_custom_target(game_font ALL DEPENDS "${ZARNOK_GAME_FONT}")
endif()
