# The vector-font tests need only the font library, not the game; the compiler's test
# runs the built font compiler.
foreach(_unit font_registry_test vector_font_loader_test vector_font_layout_test font_compiler_test)
  zarnok_add_test(${_unit} "${CMAKE_CURRENT_SOURCE_DIR}/${_unit}.cpp" zarnok_font)
  list(APPEND ZARNOK_CUSTOM_TESTS ${_unit}.cpp)
endforeach()
add_dependencies(font_compiler_test font_compiler)
