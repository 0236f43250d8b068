# The picture reader and texture tests link only the image library (and stb_image as
# an independent decoder for the texture check); the texture test reads the ten
# textures the texture maker makes, so it waits for them.
pkg_check_modules(ZARNOK_STB REQUIRED IMPORTED_TARGET stb)

zarnok_add_test(picture_reader_test "${CMAKE_CURRENT_LIST_DIR}/picture_reader_test.cpp" zarnok_image)
zarnok_add_test(picture_texture_test "${CMAKE_CURRENT_LIST_DIR}/picture_texture_test.cpp" zarnok_image
  PkgConfig::ZARNOK_STB)
add_dependencies(picture_texture_test textures)
list(APPEND ZARNOK_CUSTOM_TESTS picture_reader_test.cpp picture_texture_test.cpp)
