# The vector-font test needs only the font library, not the game, and runs the built font tools.
zarnok_add_test(vector_font_test "${CMAKE_CURRENT_SOURCE_DIR}/vector_font_test.cpp" zarnok_font GTest::gmock)
list(APPEND ZARNOK_CUSTOM_TESTS vector_font_test.cpp)
add_dependencies(vector_font_test font_compiler fontshow)
target_compile_definitions(vector_font_test PRIVATE FONT_COMPILER="$<TARGET_FILE:font_compiler>"
                                                    FONTSHOW="$<TARGET_FILE:fontshow>")
