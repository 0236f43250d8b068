# The vector font benchmark: our font library against FTGL's polygon fonts made from
# the same TrueType source, in one headless Mesa context (EGL surfaceless).
pkg_check_modules(ZARNOK_BENCH_FTGL REQUIRED IMPORTED_TARGET ftgl)
add_executable(vector_font_bench "${CMAKE_CURRENT_LIST_DIR}/vector_font_bench.cpp")
target_link_libraries(vector_font_bench PRIVATE zarnok_font benchmark::benchmark PkgConfig::ZARNOK_BENCH_FTGL
  OpenGL::GL OpenGL::GLU zarnok_headless_gl)
target_compile_definitions(vector_font_bench PRIVATE
  ZARNOK_GAME_FONT="${ZARNOK_ASSET_DIR}/fonts/techno1.glf"
  ZARNOK_GAME_FONT_SOURCE="${ZARNOK_GAME_FONT_SOURCE}")
add_dependencies(vector_font_bench game_font)
list(APPEND ZARNOK_CUSTOM_BENCHES vector_font_bench.cpp)
