# The bitmap font maker (zarnok-bitmap-font-maker) and the two bitmap fonts it makes
# into the asset folder from DejaVu Sans Bold (Debian's fonts-dejavu-core): grey with
# alpha, run-length encoded; and RGBA, raw.
pkg_check_modules(BITMAP_FONT_FREETYPE REQUIRED IMPORTED_TARGET freetype2)
add_executable(bitmap_font_maker "${CMAKE_CURRENT_LIST_DIR}/bitmap_font_maker.cpp")
target_include_directories(bitmap_font_maker PRIVATE "${PROJECT_SOURCE_DIR}")
target_link_libraries(bitmap_font_maker PRIVATE PkgConfig::BITMAP_FONT_FREETYPE)
set_target_properties(bitmap_font_maker PROPERTIES OUTPUT_NAME zarnok-bitmap-font-maker)

if(ZARNOK_MAKE_ASSETS)  # the Windows build takes the Linux build's
  set(ZARNOK_BITMAP_FONT_SOURCE "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf")
  if(NOT EXISTS "${ZARNOK_BITMAP_FONT_SOURCE}")
    message(FATAL_ERROR "${ZARNOK_BITMAP_FONT_SOURCE} is missing: apt-get install fonts-dejavu-core")
  endif()
  set(ZARNOK_BITMAP_FONT_PACKED "${ZARNOK_ASSET_DIR}/fonts/sans_bold.bitmap_font")
  set(ZARNOK_BITMAP_FONT_RAW "${ZARNOK_ASSET_DIR}/fonts/sans_bold_rgba_raw.bitmap_font")
  add_custom_command(
    OUTPUT "${ZARNOK_BITMAP_FONT_PACKED}" "${ZARNOK_BITMAP_FONT_RAW}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${ZARNOK_ASSET_DIR}/fonts"
    COMMAND bitmap_font_maker --size 32 --picture 512 --channels 2 --name "Sans Bold"
            "${ZARNOK_BITMAP_FONT_SOURCE}" "${ZARNOK_BITMAP_FONT_PACKED}"
    COMMAND bitmap_font_maker --size 32 --picture 512 --channels 4 --raw --name "Sans Bold"
            "${ZARNOK_BITMAP_FONT_SOURCE}" "${ZARNOK_BITMAP_FONT_RAW}"
    DEPENDS bitmap_font_maker "${ZARNOK_BITMAP_FONT_SOURCE}"
    COMMENT "Making the bitmap fonts")
  add_custom_target(bitmap_fonts ALL DEPENDS "${ZARNOK_BITMAP_FONT_PACKED}" "${ZARNOK_BITMAP_FONT_RAW}")
endif()
