# The sound library over the real SDL2_mixer, playing the made sounds through SDL's
# disk driver. Links the library (and SDL2_mixer, to ask the mixer what it does)
# without the rest of the game.
list(APPEND ZARNOK_CUSTOM_TESTS "sound_library_test.cpp")
zarnok_add_test(sound_library_test "${CMAKE_CURRENT_LIST_DIR}/sound_library_test.cpp"
  zarnok_platform PkgConfig::SDL2_MIXER)
add_dependencies(sound_library_test sounds)
