# The round frame test compares a drawn frame with a reference picture, read back
# with stb_image.
pkg_check_modules(ZARNOK_ROUND_FRAME_STB REQUIRED IMPORTED_TARGET stb)
zarnok_add_test(round_frame_test "${CMAKE_CURRENT_LIST_DIR}/round_frame_test.cpp" zarnok_game
  PkgConfig::ZARNOK_ROUND_FRAME_STB)
add_dependencies(round_frame_test textures game_font)
list(APPEND ZARNOK_CUSTOM_TESTS round_frame_test.cpp)
