# The platform layer alone, over the real SDL2_mixer (linked to ask the mixer what it does).
list(APPEND ZARNOK_CUSTOM_TESTS "platform_test.cpp")
zarnok_add_test(platform_test "${CMAKE_CURRENT_LIST_DIR}/platform_test.cpp" zarnok_platform PkgConfig::SDL2_MIXER)
add_dependencies(platform_test sounds)
