# fontshow's end-to-end test: runs the built showcase with the game's font on the
# test's private X display. It needs fontshow and the font, not the game.
list(APPEND ZARNOK_CUSTOM_TESTS "fontshow_test.cpp")
zarnok_add_test(fontshow_test "${CMAKE_CURRENT_LIST_DIR}/fontshow_test.cpp")
target_compile_definitions(fontshow_test PRIVATE
  FONTSHOW_BINARY="$<TARGET_FILE:fontshow>"
  FONTSHOW_FONT="${ZARNOK_ASSET_DIR}/fonts/techno1.glf")
add_dependencies(fontshow_test fontshow game_font)
