# The vector-font tests need only the font library, not the game; the tools' test runs
# the built font compiler and showcase.
foreach(_unit font_registry_test vector_font_drawing_test text_console_test font_tools_test)
  zarnok_add_test(${_unit} "${CMAKE_CURRENT_SOURCE_DIR}/${_unit}.cpp" zarnok_font GTest::gmock)
  list(APPEND ZARNOK_CUSTOM_TESTS ${_unit}.cpp)
endforeach()
add_dependencies(font_tools_test font_compiler fontshow bitmap_fonts)
target_compile_definitions(font_tools_test PRIVATE FONT_COMPILER="$<TARGET_FILE:font_compiler>"
  FONTSHOW="$<TARGET_FILE:fontshow>")
