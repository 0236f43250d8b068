# The game's sound end to end: the real game binary with the made sounds, listened to
# through SDL's disk driver (SDL is linked for reading the sounds back).
list(APPEND ZARNOK_CUSTOM_TESTS "sound_e2e_test.cpp")
zarnok_add_test(sound_e2e_test "${CMAKE_CURRENT_LIST_DIR}/sound_e2e_test.cpp" zarnok_game PkgConfig::SDL2_MIXER)
add_dependencies(sound_e2e_test zarnok sounds)
