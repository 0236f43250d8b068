# The round frame benchmark: one frame of a round from a fixed game state, drawn by
# the game's own calls in one headless Mesa context (EGL surfaceless, 1024 x 768),
# with variants that leave one part out, and the floor beside it.
add_executable(round_frame_bench "${CMAKE_CURRENT_LIST_DIR}/round_frame_bench.cpp")
target_link_libraries(round_frame_bench PRIVATE zarnok_game benchmark::benchmark OpenGL::GL OpenGL::GLU
  zarnok_headless_gl)
target_compile_definitions(round_frame_bench PRIVATE ZARNOK_ASSET_DIR="${ZARNOK_ASSET_DIR}")
add_dependencies(round_frame_bench textures game_font)
list(APPEND ZARNOK_CUSTOM_BENCHES round_frame_bench.cpp)
