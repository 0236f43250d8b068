# The picture reader benchmark: links only the image library, and stb_image as peer.
pkg_check_modules(ZARNOK_BENCH_STB REQUIRED IMPORTED_TARGET stb)
add_executable(picture_reader_bench "${CMAKE_CURRENT_LIST_DIR}/picture_reader_bench.cpp")
target_link_libraries(picture_reader_bench PRIVATE zarnok_image benchmark::benchmark PkgConfig::ZARNOK_BENCH_STB)
list(APPEND ZARNOK_CUSTOM_BENCHES picture_reader_bench.cpp)
